#include "appbase/CommonUtil.h"

#include "platform/core/Settings.h"
#include "tests/support/AppTest.h"

#include <QJsonObject>

namespace {

class CommonUtilStoreTest : public AppTest {
protected:
    static QJsonObject account(const QString& name)
    {
        return QJsonObject{{"code", name + "-code"}, {"username", name}, {"pwd", "pw"}};
    }
    // A store written by hand (or by an older build), then loaded into a fresh process.
    static void loadFrom(const QJsonValue& sysset, const QJsonValue& accountValue = QJsonValue::Undefined)
    {
        auto& store = core::Settings::standard();
        store.set("sysset", sysset);
        store.set("account", accountValue);
        store.synchronize();
        CommonUtil::resetState();
        CommonUtil::loadData();
    }
};

// Saving stops at the first absent value: 10 elements with an account and a subject, 9 signed
// in without a subject, 8 signed out (the subject is dropped, the stored account removed);
// each loads back to the same state.
TEST_F(CommonUtilStoreTest, StoredFormRoundTrips)
{
    struct Case {
        bool signedIn;
        std::optional<QString> subject;
        int elements;
        std::optional<QString> subjectAfterLoad;
    };
    const Case cases[] = {
        {true, QString("S2"), 10, QString("S2")},
        {true, std::nullopt, 9, std::nullopt},
        {false, QString("S1"), 8, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.elements);
        CommonUtil::resetState();
        CommonUtil::loadData();
        const int deviceId = CommonUtil::getDeiceId();
        CommonUtil::setSpecialNum(30);
        CommonUtil::setFastNum(-4);
        CommonUtil::setIsNext(2);
        CommonUtil::setIsShowAnalyze(0);
        CommonUtil::setIsDistill(0);
        CommonUtil::setStyle(3);
        CommonUtil::setFont(2);
        CommonUtil::setAccount(c.signedIn ? std::optional(account("ann")) : std::nullopt);
        CommonUtil::setSubjectCode(c.subject);
        CommonUtil::saveData();

        const QJsonArray sysset = storedSysset();
        ASSERT_EQ(sysset.size(), c.elements);
        const QStringList expected{"30", "-4", "1", "0", "0", "3", "2", QString::number(deviceId)};
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(sysset[i].toString(), expected[i]) << i;
        EXPECT_EQ(storedAccount().isObject(), c.signedIn);
        EXPECT_EQ(storedAccount().isUndefined(), !c.signedIn);

        CommonUtil::resetState();
        CommonUtil::loadData();
        EXPECT_EQ(CommonUtil::getSpecialNum(), 30);
        EXPECT_EQ(CommonUtil::getFastNum(), -4);
        EXPECT_TRUE(CommonUtil::getIsNext());
        EXPECT_FALSE(CommonUtil::getIsShowAnalyze());
        EXPECT_FALSE(CommonUtil::getIsDistill());
        EXPECT_EQ(CommonUtil::getStyle(), 3);
        EXPECT_EQ(CommonUtil::getFont(), 2);
        EXPECT_EQ(CommonUtil::getDeiceId(), deviceId);
        EXPECT_EQ(CommonUtil::getAccount().has_value(), c.signedIn);
        if (c.signedIn) {
            EXPECT_EQ(CommonUtil::getAccount()->value("username").toString(), "ann");
        }
        EXPECT_EQ(CommonUtil::getSubjectCode(), c.subjectAfterLoad);
    }
}

TEST_F(CommonUtilStoreTest, DeviceNumberRules)
{
    struct Case {
        QJsonValue stored;   // element 7, or Undefined for a list of 7
        bool keeps;
    };
    const Case cases[] = {
        {QString("1234567890"), true}, {QString("42"), true},      {QString("0"), false},
        {QString("-17"), false},        {QString("abc"), false},   {QJsonValue::Undefined, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.toString().toStdString());
        QJsonArray sysset{"150", "150", "0", "1", "1", "0", "0"};
        if (!c.stored.isUndefined())
            sysset.append(c.stored);
        loadFrom(sysset);
        if (c.keeps) {
            EXPECT_EQ(CommonUtil::getDeiceId(), c.stored.toString().toInt());
            continue;
        }
        EXPECT_GE(CommonUtil::getDeiceId(), 1000000000);
        EXPECT_LE(CommonUtil::getDeiceId(), 1999999999);
    }
}

TEST_F(CommonUtilStoreTest, AccountInTheListWinsOverTheKey)
{
    loadFrom(QJsonArray{"150", "150", "0", "1", "1", "0", "0", "1000000001", account("list"), "S9"},
             account("key"));
    ASSERT_TRUE(CommonUtil::getAccount());
    EXPECT_EQ(CommonUtil::getAccount()->value("username").toString(), "list");
    EXPECT_EQ(CommonUtil::getSubjectCode(), QString("S9"));
}

// Hand-edited or truncated stores: whatever is there is read, the rest keeps its value, and
// nothing but an object becomes the account.
TEST_F(CommonUtilStoreTest, ShortOrEditedStoresLoadSafely)
{
    loadFrom(QJsonArray{"20", 7});
    EXPECT_EQ(CommonUtil::getSpecialNum(), 20);
    EXPECT_EQ(CommonUtil::getFastNum(), 7);
    EXPECT_TRUE(CommonUtil::getIsShowAnalyze());
    EXPECT_GE(CommonUtil::getDeiceId(), 1000000000);

    loadFrom(QJsonArray{"1", "2", "yes", "0", "t", "4", QJsonValue::Null, "1000000005", "not an account", 33},
             QString("also not one"));
    EXPECT_TRUE(CommonUtil::getIsNext());
    EXPECT_FALSE(CommonUtil::getIsShowAnalyze());
    EXPECT_TRUE(CommonUtil::getIsDistill());
    EXPECT_EQ(CommonUtil::getStyle(), 4);
    EXPECT_EQ(CommonUtil::getFont(), 0);
    EXPECT_FALSE(CommonUtil::getAccount());

    loadFrom(QString("not a list"), QJsonValue::Null);
    EXPECT_EQ(CommonUtil::getSpecialNum(), 150);
    EXPECT_FALSE(CommonUtil::getAccount());
}

TEST_F(CommonUtilStoreTest, SubjectDataIsNeverStored)
{
    CommonUtil::setSubjectData(QByteArray("[]"));
    CommonUtil::saveData();
    CommonUtil::resetState();
    CommonUtil::loadData();
    EXPECT_FALSE(CommonUtil::getSubjectData());
}

} // namespace
