#include "appbase/CommonUtil.h"

#include "components/hud/ProgressHUD.h"
#include "platform/core/Bundle.h"
#include "platform/core/Random.h"
#include "platform/core/Record.h"
#include "platform/core/Settings.h"
#include "platform/ui/Image.h"
#include "platform/ui/Screen.h"

#include <QJsonArray>
#include <cmath>
#include <utility>

namespace {

const QString kAccountKey = QStringLiteral("account");
const QString kSyssetKey = QStringLiteral("sysset");

struct SharedState {
    int specialNum = 150;
    int fastNum = 150;
    bool isNext = false;
    bool isShowAnalyze = true;
    bool isDistill = true;
    int style = 0;
    int font = 0;
    int deviceId = 0;
    std::optional<QJsonObject> account;
    std::optional<QString> subjectCode;
    std::optional<QByteArray> subjectData;
};

SharedState& state()
{
    static SharedState s;
    return s;
}

// The overlay of the request in progress and the reply length it expects.
struct WaitState {
    std::shared_ptr<ProgressHUD> overlay;
    qint64 expectedLength = 0;
};

WaitState& wait()
{
    static WaitState w;
    return w;
}

int freshDeviceId()
{
    return 1000000000 + static_cast<int>(core::Random::next() % 1000000000u);
}

QJsonValue numberString(int value)
{
    return QString::number(value);
}

// A hand-edited store may hold anything at any index; a missing element reads as nothing.
std::optional<QJsonValue> element(const QJsonArray& array, int index)
{
    if (index >= array.size())
        return std::nullopt;
    return array.at(index);
}

void readInt(const QJsonArray& array, int index, int& target)
{
    if (auto v = element(array, index))
        target = core::Record::intValue(*v);
}

void readBool(const QJsonArray& array, int index, bool& target)
{
    if (auto v = element(array, index))
        target = core::Record::boolValue(*v);
}

void readDeviceId(const QJsonArray& array)
{
    auto v = element(array, 7);
    if (!v)
        return;
    const int stored = core::Record::intValue(*v);
    state().deviceId = stored > 0 ? stored : freshDeviceId();
}

std::optional<QJsonObject> accountFrom(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    return value.toObject();
}

} // namespace

// --- Shared state ------------------------------------------------------------------------

int CommonUtil::getSpecialNum() { return state().specialNum; }
void CommonUtil::setSpecialNum(int value) { state().specialNum = value; }
int CommonUtil::getFastNum() { return state().fastNum; }
void CommonUtil::setFastNum(int value) { state().fastNum = value; }
bool CommonUtil::getIsNext() { return state().isNext; }
void CommonUtil::setIsNext(int value) { state().isNext = value != 0; }
bool CommonUtil::getIsShowAnalyze() { return state().isShowAnalyze; }
void CommonUtil::setIsShowAnalyze(int value) { state().isShowAnalyze = value != 0; }
bool CommonUtil::getIsDistill() { return state().isDistill; }
void CommonUtil::setIsDistill(int value) { state().isDistill = value != 0; }
int CommonUtil::getStyle() { return state().style; }
void CommonUtil::setStyle(int value) { state().style = value; }
int CommonUtil::getFont() { return state().font; }
void CommonUtil::setFont(int value) { state().font = value; }
int CommonUtil::getDeiceId() { return state().deviceId; }
const std::optional<QJsonObject>& CommonUtil::getAccount() { return state().account; }
void CommonUtil::setAccount(const std::optional<QJsonObject>& account) { state().account = account; }
const std::optional<QString>& CommonUtil::getSubjectCode() { return state().subjectCode; }
void CommonUtil::setSubjectCode(const std::optional<QString>& code) { state().subjectCode = code; }
bool CommonUtil::hasSubjectCode() { return state().subjectCode && !state().subjectCode->isEmpty(); }
const std::optional<QByteArray>& CommonUtil::getSubjectData() { return state().subjectData; }
void CommonUtil::setSubjectData(const std::optional<QByteArray>& data) { state().subjectData = data; }

void CommonUtil::resetState()
{
    state() = SharedState();
    wait() = WaitState();
}

// --- Settings store ----------------------------------------------------------------------

void CommonUtil::saveData()
{
    auto& store = core::Settings::standard();
    const SharedState& s = state();
    store.set(kAccountKey, s.account ? QJsonValue(*s.account) : QJsonValue(QJsonValue::Undefined));

    QJsonArray sysset{numberString(s.specialNum), numberString(s.fastNum), numberString(s.isNext ? 1 : 0),
                      numberString(s.isShowAnalyze ? 1 : 0), numberString(s.isDistill ? 1 : 0),
                      numberString(s.style), numberString(s.font), numberString(s.deviceId)};
    // The list ends at the first absent value: signed out stores no subject either.
    if (s.account) {
        sysset.append(*s.account);
        if (s.subjectCode)
            sysset.append(*s.subjectCode);
    }
    store.set(kSyssetKey, sysset);
    store.synchronize();
}

void CommonUtil::loadData()
{
    auto& store = core::Settings::standard();
    SharedState& s = state();
    s.account = accountFrom(store.value(kAccountKey));

    const QJsonArray sysset = core::Record::array(store.value(kSyssetKey));
    readInt(sysset, 0, s.specialNum);
    readInt(sysset, 1, s.fastNum);
    readBool(sysset, 2, s.isNext);
    readBool(sysset, 3, s.isShowAnalyze);
    readBool(sysset, 4, s.isDistill);
    readInt(sysset, 5, s.style);
    readInt(sysset, 6, s.font);
    readDeviceId(sysset);
    if (s.deviceId < 1)
        s.deviceId = freshDeviceId();
    // The account inside the list wins over the key, but only a record can be an account.
    if (auto v = element(sysset, 8); v && v->isObject())
        s.account = v->toObject();
    if (auto v = element(sysset, 9); v && (v->isString() || v->isDouble()))
        s.subjectCode = core::Record::stringValue(*v);
}

// --- Server ------------------------------------------------------------------------------

QString CommonUtil::getServiceUrl()
{
    const QString configured = qEnvironmentVariable(kServiceUrlVariable);
    return configured.isEmpty() ? QString::fromLatin1(kServiceUrl) : configured;
}

// --- Busy overlay and toasts ---------------------------------------------------------------

std::shared_ptr<ProgressHUD> CommonUtil::startHttp(const std::shared_ptr<ui::View>& view,
                                                   const std::shared_ptr<ProgressHUDDelegate>& delegate)
{
    wait().expectedLength = 0;
    if (auto previous = std::exchange(wait().overlay, nullptr))
        previous->hide(true);
    auto overlay = ProgressHUD::createWithView(view);
    if (view)
        view->addSubview(overlay);
    overlay->setDelegate(delegate);
    overlay->setLabelText(QString::fromUtf8(kWaitMessage));
    overlay->show(true);
    wait().overlay = overlay;
    return overlay;
}

void CommonUtil::stopHttp()
{
    // Whichever overlay is current goes, whoever showed it.
    auto overlay = std::exchange(wait().overlay, nullptr);
    if (overlay)
        overlay->hide(true);
}

void CommonUtil::stopHttp(const std::shared_ptr<ProgressHUD>& overlay)
{
    if (overlay && overlay == wait().overlay)
        stopHttp();
}

void CommonUtil::httpClientError(const std::shared_ptr<ui::View>& view)
{
    errorAlert(QString::fromUtf8(kNetworkMessage), view);
}

void CommonUtil::errorAlert(const QString& message, const std::shared_ptr<ui::View>& view)
{
    if (!view)
        return;
    auto toast = ProgressHUD::showHUDAddedTo(view, true);
    toast->setMode(ProgressHUDMode::Text);
    toast->setLabelText(message);
    toast->setMargin(10.0f);
    toast->setYOffset(150.0f);
    toast->setRemoveFromSuperViewOnHide(true);
    toast->hide(true, 1.0);
}

void CommonUtil::startHttpLoad()
{
    if (wait().overlay)
        wait().overlay->setMode(ProgressHUDMode::Ring);
}

void CommonUtil::setHttpDataLength(qint64 length)
{
    if (!wait().overlay || wait().expectedLength == 0)
        return;
    wait().overlay->setProgress(static_cast<float>(length) / static_cast<float>(wait().expectedLength));
}

void CommonUtil::setHttpDataNewLength(qint64 length)
{
    wait().expectedLength += length;
}

std::shared_ptr<ProgressHUD> CommonUtil::waitOverlay()
{
    return wait().overlay;
}

// --- Screen metrics, images, colours -------------------------------------------------------

double CommonUtil::getSysWidth() { return ui::Screen::main().size().width; }
double CommonUtil::getSysHeight() { return ui::Screen::main().size().height; }
double CommonUtil::getSystemScale() { return ui::Screen::main().scale(); }

double CommonUtil::getScale()
{
    const double s = getSystemScale();
    return (getSysWidth() * s + getSysHeight() * s) / 1334.0;
}

double CommonUtil::getScaleX() { return getSysWidth() * getSystemScale() / 480.0; }
double CommonUtil::getScaleY() { return getSysHeight() * getSystemScale() / 854.0; }

double CommonUtil::getScaleHeight()
{
    return ui::Screen::main().idiom() == ui::Screen::Idiom::Pad ? 2.0 : 1.0;
}

double CommonUtil::getMainWidth() { return getSysWidth() * getSystemScale(); }
double CommonUtil::getMainHeight() { return getSysHeight() * getSystemScale(); }

QString CommonUtil::getImageName(const QString& name, const QString& type)
{
    return name + type;
}

ui::Color CommonUtil::UIColorFromRGB(int rgb)
{
    return ui::Color(((rgb & 0xFF0000) >> 16) / 255.0, ((rgb & 0xFF00) >> 8) / 255.0, (rgb & 0xFF) / 255.0, 1.0);
}

QString CommonUtil::getVersion()
{
    return core::Bundle::version();
}

ui::Size CommonUtil::scaledSize(const ui::Image& image, double factor)
{
    const ui::Size pixels = image.pixelSize();
    const double s = getSystemScale();
    return {std::trunc(pixels.width / s * factor), std::trunc(pixels.height / s * factor)};
}

ui::Size CommonUtil::axisScaledSize(const ui::Image& image)
{
    const ui::Size pixels = image.pixelSize();
    const double s = getSystemScale();
    return {std::trunc(pixels.width / s * getScaleX()), std::trunc(pixels.height / s * getScaleY())};
}

double CommonUtil::designSize(double size)
{
    return size / getSystemScale() * getScale();
}
