#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Gbk.h"
#include "platform/IniFile.h"
#include "support/FileBytes.h"

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QString path() const { return dir.filePath(QStringLiteral("GSM_Alarm.ini")); }
    void write(const QByteArray& bytes) { writeFileBytes(path().toStdString(), bytes.toStdString()); }
    QByteArray bytes() const { return QByteArray::fromStdString(readFileBytes(path().toStdString())); }

    QTemporaryDir dir;
};

TEST_F(IniFileTest, MissingFileGivesTheDefaults)
{
    IniFile ini(path());
    EXPECT_EQ(ini.ReadString("MFPARA", "MFNAME", "Dcs"), QStringLiteral("Dcs"));
    EXPECT_EQ(ini.ReadInteger("PICTURE", "PointNum", 0), 0);
    EXPECT_TRUE(ini.ReadBool("GSM", "Enable", true));
}

TEST_F(IniFileTest, NamesMatchInAnyCaseAndValuesLoseBlanksAndQuotes)
{
    write("; written by hand\n"
          "[gsm]\r\n"
          "  enable = 1 \r\n"
          "Text=\"ALARM!\"\r\n"
          "Delay= 15 \n"
          "PWR_CH=\n"
          "COM=2\n"
          "COM=5\n"
          "[PhoneList]\n"
          "Name1=" + toGbk(QString::fromUtf8("张三")) + "\n");
    IniFile ini(path());
    EXPECT_TRUE(ini.ReadBool("GSM", "ENABLE", false));
    EXPECT_EQ(ini.ReadString("Gsm", "text", ""), QStringLiteral("ALARM!"));
    EXPECT_EQ(ini.ReadString("GSM", "Delay", "10"), QStringLiteral("15"));
    EXPECT_EQ(ini.ReadString("GSM", "PWR_CH", "1"), QString());  // present but empty
    EXPECT_EQ(ini.ReadInteger("GSM", "COM", 0), 2);              // the first of two
    EXPECT_EQ(ini.ReadString("phonelist", "NAME1", ""), QString::fromUtf8("张三"));
    EXPECT_EQ(ini.ReadString("GSM", "Name1", "none"), QStringLiteral("none"));  // other section
}

TEST_F(IniFileTest, SectionNameMayHoldACharacterWhoseTrailByteIsABracket)
{
    const QString name = QString::fromUtf8("乚站");  // GBK 81 5D ...
    ASSERT_EQ(toGbk(name).at(1), ']');
    write("[" + toGbk(name) + "]\nName=1\n");
    EXPECT_EQ(IniFile(path()).ReadString(name, "Name", "none"), QStringLiteral("1"));
}

TEST_F(IniFileTest, IntegersAndBooleansFollowTheirRules)
{
    write("[S]\nhex1=0x1F\nhex2=$10\nneg=-3\nword=abc\nfrac=1.5\nempty=\nfalse=0\n");
    IniFile ini(path());
    const std::pair<const char*, int> integers[] = {
        {"hex1", 31}, {"hex2", 16}, {"neg", -3}, {"word", 7}, {"frac", 7}, {"empty", 7}, {"missing", 7},
    };
    for (const auto& [key, value] : integers)
        EXPECT_EQ(ini.ReadInteger("S", key, 7), value) << key;
    const std::tuple<const char*, bool, bool> booleans[] = {
        {"neg", false, true}, {"false", true, false}, {"word", true, true}, {"word", false, false},
        {"missing", true, true},
    };
    for (const auto& [key, fallback, value] : booleans)
        EXPECT_EQ(ini.ReadBool("S", key, fallback), value) << key;
}

TEST_F(IniFileTest, ValuesAreReadBackUpTo2047BytesOnACharacterBoundary)
{
    const QByteArray ascii(3000, 'a');
    const QByteArray chinese = toGbk(QString::fromUtf8("报").repeated(1100));  // two bytes each
    write("[S]\nascii=" + ascii + "\nchinese=" + chinese + "\n");
    IniFile ini(path());
    EXPECT_EQ(toGbk(ini.ReadString("S", "ascii", "")), ascii.left(2047));
    EXPECT_EQ(toGbk(ini.ReadString("S", "chinese", "")), chinese.left(2046));
}

TEST_F(IniFileTest, WritingCreatesTheFileAndChangesOnlyTheKeyWritten)
{
    IniFile ini(path());
    ini.WriteBool("GSM", "Enable", true);
    EXPECT_EQ(bytes(), QByteArray("[GSM]\r\nEnable=1\r\n"));

    // Hand-written lines, LF endings, GBK text and comments survive.
    const QByteArray name = toGbk(QString::fromUtf8("李四"));
    write("[GSM]\nEnable=1\n;note\nCOM=3\n\n[PhoneList]\nName1=" + name + "\nNum1=138");
    ini.WriteBool("gsm", "enable", false);
    ini.WriteInteger("GSM", "Delay", 20);
    ini.WriteString("PhoneList", "Num2", "139");
    ini.WriteString("MFPARA", "MFNAME", QString::fromUtf8("一号站"));
    EXPECT_EQ(bytes(), "[GSM]\nenable=0\n;note\nCOM=3\nDelay=20\r\n\n[PhoneList]\nName1=" + name +
                           "\nNum1=138\r\nNum2=139\r\n[MFPARA]\r\nMFNAME=" + toGbk(QString::fromUtf8("一号站")) + "\r\n");

    EXPECT_FALSE(ini.ReadBool("GSM", "Enable", true));
    EXPECT_EQ(ini.ReadInteger("GSM", "Delay", 0), 20);
    EXPECT_EQ(ini.ReadString("MFPARA", "MFNAME", "Dcs"), QString::fromUtf8("一号站"));
}

TEST_F(IniFileTest, ALineBreakInAValueCannotStartANewKey)
{
    IniFile ini(path());
    ini.WriteString("GSM", "Text", "ALARM!\nEnable=1");
    EXPECT_EQ(ini.ReadString("GSM", "Text", ""), QStringLiteral("ALARM! Enable=1"));
    EXPECT_FALSE(ini.ReadBool("GSM", "Enable", false));
}

TEST_F(IniFileTest, FailedWriteIsReported)
{
    IniFile ini(dir.filePath(QStringLiteral("no-such-folder/GSM_Alarm.ini")));
    try {
        ini.WriteInteger("GSM", "COM", 1);
        FAIL() << "no error";
    } catch (const IniFileError& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), QStringLiteral("Unable to write to ") + ini.path());
    }
}

TEST_F(IniFileTest, AFileThatCannotBeReadIsNotRewritten)
{
    const QByteArray before("[GSM]\nEnable=1\nCOM=3\n");
    write(before);
    const std::string file = path().toStdString();
    const std::string folder = QFile::encodeName(dir.path()).toStdString();
    ASSERT_EQ(::chmod(file.c_str(), 0), 0);

    // Root reads any file: the write runs as nobody, who then owns the folder and the file.
    constexpr uid_t nobody = 65534;
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(folder.c_str(), nobody, nobody), 0);
        ASSERT_EQ(::chown(file.c_str(), nobody, nobody), 0);
        ASSERT_EQ(::seteuid(nobody), 0);
    }
    const bool folderWritable = ::faccessat(AT_FDCWD, folder.c_str(), W_OK, AT_EACCESS) == 0;
    bool refused = false;
    if (folderWritable) {
        try {
            IniFile(path()).WriteInteger("GSM", "COM", 5);
        } catch (const IniFileError&) {
            refused = true;
        }
    }
    if (root) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    if (!folderWritable)
        GTEST_SKIP() << "the temporary folder is out of reach without root";

    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    EXPECT_TRUE(refused);
    EXPECT_EQ(bytes(), before);
}

} // namespace
