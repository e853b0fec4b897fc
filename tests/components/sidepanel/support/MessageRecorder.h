#pragma once

#include "components/sidepanel/SidePanelControllerDelegate.h"
#include "platform/ui/Geometry.h"

#include <QString>
#include <QStringList>
#include <bitset>
#include <cstddef>
#include <memory>
#include <type_traits>
#include <utility>

// The 17 messages of SidePanelControllerDelegate, in its order.
enum class DelegateMessage : unsigned {
    ShouldPan, ApplyShadow, DidChangeOffset, DidBounceOpening, DidBounceClosing, ShouldOpen, WillOpen, DidOpen, ShouldClose,
    WillClose, DidClose, DidShowCenter, ShouldPreviewBounce, WillPreviewBounce, DidPreviewBounce, ChangesLedge,
    ShouldBeginPanOverView, Count
};
using DelegateMessages = std::bitset<std::size_t(DelegateMessage::Count)>;

inline DelegateMessages onlyMessage(DelegateMessage message) { return DelegateMessages().set(std::size_t(message)); }

// A controller of kind Base that implements only the given messages: every other one reaches
// the interface's default, as if it were not written. What it hears goes into the journal as
// "<name> <message> <container> <arguments>", objects by address, so two recorders told the
// same thing write the same line after their names.
template<class Base>
class MessageRecorder : public Base, public SidePanelControllerDelegate {
public:
    using M = DelegateMessage;
    using D = SidePanelControllerDelegate;
    MessageRecorder(QString name, std::shared_ptr<QStringList> journal, DelegateMessages implemented)
        : m_name(std::move(name)), m_journal(std::move(journal)), m_implemented(implemented) {}
    static std::shared_ptr<MessageRecorder> create(const QString& name, std::shared_ptr<QStringList> journal, DelegateMessages implemented)
    {
        return std::make_shared<MessageRecorder>(name, std::move(journal), implemented);
    }

    // Every implemented question is answered with this; a ledge comes back one more (yes) or
    // one less (no) than proposed.
    bool answer = true;

    using C = SidePanelController;
    using S = SidePanelSide;
    std::optional<bool> shouldPan(C& c, ui::PanGestureRecognizer& p) override { return heard(M::ShouldPan, c, &p) ? std::optional(answer) : D::shouldPan(c, p); }
    bool applyShadow(C& c, ui::Layer& l, const ui::Rect& b) override
    {
        return heard(M::ApplyShadow, c, &l, b.x(), b.y(), b.width(), b.height()) ? answer : D::applyShadow(c, l, b);
    }
    void didChangeOffset(C& c, double o, SidePanelOffsetOrientation r, bool p) override { if (!heard(M::DidChangeOffset, c, o, r, p)) D::didChangeOffset(c, o, r, p); }
    void didBounceViewSideOpeningController(C& c, S s, const std::shared_ptr<ui::ViewController>& v) override
    {
        if (!heard(M::DidBounceOpening, c, s, v.get()))
            D::didBounceViewSideOpeningController(c, s, v);
    }
    void didBounceViewSideClosingController(C& c, S s, const std::shared_ptr<ui::ViewController>& v) override
    {
        if (!heard(M::DidBounceClosing, c, s, v.get()))
            D::didBounceViewSideClosingController(c, s, v);
    }
    std::optional<bool> shouldOpenViewSide(C& c, S s) override { return heard(M::ShouldOpen, c, s) ? std::optional(answer) : D::shouldOpenViewSide(c, s); }
    void willOpenViewSide(C& c, S s, bool a) override { if (!heard(M::WillOpen, c, s, a)) D::willOpenViewSide(c, s, a); }
    void didOpenViewSide(C& c, S s, bool a) override { if (!heard(M::DidOpen, c, s, a)) D::didOpenViewSide(c, s, a); }
    std::optional<bool> shouldCloseViewSide(C& c, S s, bool a) override { return heard(M::ShouldClose, c, s, a) ? std::optional(answer) : D::shouldCloseViewSide(c, s, a); }
    void willCloseViewSide(C& c, S s, bool a) override { if (!heard(M::WillClose, c, s, a)) D::willCloseViewSide(c, s, a); }
    void didCloseViewSide(C& c, S s, bool a) override { if (!heard(M::DidClose, c, s, a)) D::didCloseViewSide(c, s, a); }
    void didShowCenterViewFromSide(C& c, S s, bool a) override { if (!heard(M::DidShowCenter, c, s, a)) D::didShowCenterViewFromSide(c, s, a); }
    std::optional<bool> shouldPreviewBounceViewSide(C& c, S s) override
    {
        return heard(M::ShouldPreviewBounce, c, s) ? std::optional(answer) : D::shouldPreviewBounceViewSide(c, s);
    }
    void willPreviewBounceViewSide(C& c, S s, bool a) override { if (!heard(M::WillPreviewBounce, c, s, a)) D::willPreviewBounceViewSide(c, s, a); }
    void didPreviewBounceViewSide(C& c, S s, bool a) override { if (!heard(M::DidPreviewBounce, c, s, a)) D::didPreviewBounceViewSide(c, s, a); }
    std::optional<double> changesLedge(C& c, double l, S s) override
    {
        return heard(M::ChangesLedge, c, l, s) ? std::optional(answer ? l + 1 : l - 1) : D::changesLedge(c, l, s);
    }
    std::optional<bool> shouldBeginPanOverView(C& c, ui::View& v) override
    {
        return heard(M::ShouldBeginPanOverView, c, &v) ? std::optional(answer) : D::shouldBeginPanOverView(c, v);
    }

private:
    template<class T>
    static QString text(const T& value)
    {
        if constexpr (std::is_pointer_v<T>)
            return QString::number(quintptr(value), 16);
        else if constexpr (std::is_enum_v<T>)
            return QString::number(std::underlying_type_t<T>(value));
        else
            return QString::number(value);
    }
    template<class... Args>
    bool heard(M message, SidePanelController& container, const Args&... args)
    {
        if (!m_implemented.test(std::size_t(message)))
            return false;
        QStringList line{m_name, text(message), text(&container)};
        (line << ... << text(args));
        m_journal->append(line.join(QLatin1Char(' ')));
        return true;
    }

    QString m_name;
    std::shared_ptr<QStringList> m_journal;
    DelegateMessages m_implemented;
};
