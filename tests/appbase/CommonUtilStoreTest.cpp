#include "appbase/CommonUtil.h"

#include "platform/core/Settings.h"
#include "tests/support/AppTest.h"


namespace {

const QJsonObject kAnn{{"code", "c1"}, {"username", "ann"}, {"pwd", "pw"}};

class CommonUtilStoreTest : public AppTest {
protected:
    // A store written by hand (or by an older build), then loaded into a fresh process.
    static void loadFrom(const QJsonValue& sysset, const QJsonValue& account = QJsonValue::Undefined)
    {
        auto& store = core::Settings::standard();
        store.set("sysset", sysset);
        store.set("account", account);
        store.synchronize();
        reload();
    }
    static void reload()
    {
        CommonUtil::resetState();
        CommonUtil::loadData();
    }
};

// Saving stops at the first absent value: 10 elements with an account and a subject, 9 signed
// in without one, 8 signed out (the subject dropped, the stored account removed); each loads
// back as it was saved. The subject list is never stored.
TEST_F(CommonUtilStoreTest, StoredFormRoundTrips)
{
    for (int elements : {10, 9, 8}) {
        SCOPED_TRACE(elements);
        const bool signedIn = elements > 8;
        reload();
        const int deviceId = CommonUtil::getDeiceId();
        CommonUtil::setSpecialNum(30);
        CommonUtil::setFastNum(-4);
        CommonUtil::setIsNext(2);
        CommonUtil::setIsShowAnalyze(0);
        CommonUtil::setIsDistill(1);
        CommonUtil::setStyle(3);
        CommonUtil::setFont(2);
        CommonUtil::setAccount(signedIn ? std::optional(kAnn) : std::nullopt);
        CommonUtil::setSubjectCode(elements == 9 ? std::nullopt : std::optional<QString>("S2"));
        CommonUtil::setSubjectData(QByteArray("[]"));
        CommonUtil::saveData();

        QStringList stored;
        for (const QJsonValue& v : storedSysset())
            stored << (v.isObject() ? v["username"].toString() : v.toString());
        const QStringList expected = QStringList{"30", "-4", "1", "0", "1", "3", "2", QString::number(deviceId), "ann", "S2"};
        EXPECT_EQ(stored, expected.mid(0, elements));

        // Loaded back and saved again, it is the same store.
        const QJsonArray saved = storedSysset();
        reload();
        CommonUtil::saveData();
        EXPECT_EQ(storedSysset(), saved);
        EXPECT_EQ(storedAccount().isObject(), signedIn);
        EXPECT_FALSE(CommonUtil::getSubjectData());
    }
}

// A positive stored device number is kept; anything else draws a fresh ten-digit one.
TEST_F(CommonUtilStoreTest, DeviceNumberRules)
{
    const QJsonValue cases[] = {QString("1"), QString("1234567890"), QString("0"), QString("-17"), QString("abc"),
                                QJsonValue::Undefined};
    for (const QJsonValue& stored : cases) {
        QJsonArray sysset{"150", "150", "0", "1", "1", "0", "0"};
        if (!stored.isUndefined())
            sysset.append(stored);
        loadFrom(sysset);
        const int kept = stored.toString().toInt();
        if (kept > 0)
            EXPECT_EQ(CommonUtil::getDeiceId(), kept);
        else
            EXPECT_TRUE(CommonUtil::getDeiceId() >= 1000000000 && CommonUtil::getDeiceId() <= 1999999999);
    }
}

// Hand-edited or truncated stores: whatever is there is read, the rest keeps its value, and
// only an object is an account (the one in the list winning over the key).
TEST_F(CommonUtilStoreTest, ShortOrEditedStoresLoadSafely)
{
    loadFrom(QJsonArray{"20", 7});
    EXPECT_EQ(CommonUtil::getSpecialNum(), 20);
    EXPECT_EQ(CommonUtil::getFastNum(), 7);

    loadFrom(QJsonArray{"1", "2", "yes", "0", "t", "4", QJsonValue::Null, "1000000005", "not an account", 33},
             QString("also not one"));
    EXPECT_TRUE(CommonUtil::getIsNext());
    EXPECT_FALSE(CommonUtil::getIsShowAnalyze());
    EXPECT_EQ(CommonUtil::getStyle(), 4);
    EXPECT_EQ(CommonUtil::getFont(), 0);
    EXPECT_FALSE(CommonUtil::getAccount());
    EXPECT_EQ(CommonUtil::getSubjectCode(), QString("33"));

    loadFrom(QJsonArray{"1", "2", "0", "0", "0", "4", "0", "1000000005", QJsonArray{kAnn}, true}, kAnn);
    EXPECT_EQ(CommonUtil::getAccount(), kAnn);
    EXPECT_FALSE(CommonUtil::getSubjectCode());
    loadFrom(QJsonArray{"1", "2", "0", "0", "0", "4", "0", "1000000005", QJsonObject{{"username", "list"}}}, kAnn);
    EXPECT_EQ(CommonUtil::getAccount(), (QJsonObject{{"username", "list"}}));

    loadFrom(QString("not a list"), QJsonValue::Null);
    EXPECT_EQ(CommonUtil::getSpecialNum(), 150);
}

} // namespace
