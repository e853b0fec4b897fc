#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <memory>
#include <optional>

class ProgressHUD;
class ProgressHUDDelegate;
namespace ui {
class Image;
class View;
}

// The state every screen shares for the life of the process, the settings store, the busy
// overlay and toasts, and the screen metrics. Static members only over process-wide state;
// main thread only.
class CommonUtil {
public:
    CommonUtil() = delete;

    // --- Shared state ---------------------------------------------------------------------
    static int getSpecialNum();
    static void setSpecialNum(int value);
    static int getFastNum();
    static void setFastNum(int value);
    static bool getIsNext();
    static void setIsNext(int value);
    static bool getIsShowAnalyze();
    static void setIsShowAnalyze(int value);
    static bool getIsDistill();
    static void setIsDistill(int value);
    static int getStyle();
    static void setStyle(int value);
    static int getFont();
    static void setFont(int value);
    static int getDeiceId();
    // The signed-in user's record; nullopt is signed out. Only an object is an account.
    static const std::optional<QJsonObject>& getAccount();
    static void setAccount(const std::optional<QJsonObject>& account);
    // The chosen subject's code; nullopt or "" is none chosen.
    static const std::optional<QString>& getSubjectCode();
    static void setSubjectCode(const std::optional<QString>& code);
    static bool hasSubjectCode();
    // The subject list reply of this run; never stored.
    static const std::optional<QByteArray>& getSubjectData();
    static void setSubjectData(const std::optional<QByteArray>& data);

    // Every item back to its value at process start (start-up of tests that share a process).
    static void resetState();

    // --- Settings store -------------------------------------------------------------------
    static void saveData();
    static void loadData();

    // --- Server ---------------------------------------------------------------------------
    // The program's server base address; $QBANK_SERVICE_URL replaces it (tests, scripts/run).
    static QString getServiceUrl();
    static constexpr const char* kServiceUrl = "http://127.0.0.1:8080/PendarWeb/";
    static constexpr const char* kServiceUrlVariable = "QBANK_SERVICE_URL";

    // --- Busy overlay and toasts ----------------------------------------------------------
    // Shows the wait overlay over the view (hiding the one still shown) and hands it back, so
    // that whoever showed it can later hide exactly that one.
    static std::shared_ptr<ProgressHUD> startHttp(const std::shared_ptr<ui::View>& view,
                                                  const std::shared_ptr<ProgressHUDDelegate>& delegate);
    // Hides whichever wait overlay is current, whoever showed it.
    static void stopHttp();
    // Hides the overlay only while it is still the current one: an overlay that a later
    // startHttp replaced is already hidden, and the later one is not its caller's to hide.
    static void stopHttp(const std::shared_ptr<ProgressHUD>& overlay);
    static void httpClientError(const std::shared_ptr<ui::View>& view);
    static void errorAlert(const QString& message, const std::shared_ptr<ui::View>& view);
    static void startHttpLoad();
    static void setHttpDataLength(qint64 length);
    static void setHttpDataNewLength(qint64 length);
    // The overlay shown for the request in progress, if any.
    static std::shared_ptr<ProgressHUD> waitOverlay();

    static constexpr const char* kWaitMessage = "请稍等………";
    static constexpr const char* kNetworkMessage = "网络不给力，请重试";

    // --- Screen metrics, images, colours ----------------------------------------------------
    static double getSysWidth();
    static double getSysHeight();
    static double getSystemScale();
    static double getScale();
    static double getScaleX();
    static double getScaleY();
    static double getScaleHeight();
    static double getMainWidth();
    static double getMainHeight();
    static QString getImageName(const QString& name, const QString& type);
    static ui::Color UIColorFromRGB(int rgb);
    static QString getVersion();
    // An image's pixel size / screen scale × factor, each side cut to whole points.
    static ui::Size scaledSize(const ui::Image& image, double factor);
    // The same with the width following getScaleX and the height getScaleY.
    static ui::Size axisScaledSize(const ui::Image& image);
    // A design length of the reference screen on this screen (not cut).
    static double designSize(double size);
};
