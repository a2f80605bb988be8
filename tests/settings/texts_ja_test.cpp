// The Japanese build's Setup messages, put together by the same code as the
// English ones, and its rule-dialog help without the broken character.
#include "setup_logic.h"
#include "store_util.h"
#include "texts.h"

namespace fw::test {
namespace {

struct Recorder : SetupSide {
    std::vector<std::string> boxes;
    bool FileExists(const char16_t* path) override { return TextEqual(path, u"C:\\Tools\\Fwise.dll"); }
    void ShowMessage(const char16_t* text, MessageIcon) override { boxes.push_back(Utf8(text)); }
    bool RunRegsvr32Process(const char16_t*, uint32_t* exitCode) override {
        *exitCode = 0;
        return true;
    }
    bool Is64BitWindows() override { return true; }
    void CloseRegTool() override {}
    void StartRegTool() override {}
    bool DelRegChecked() override { return false; }
    void ProgramPath(char16_t* out, size_t cap) override { TextCopy(out, cap, u"C:\\Tools\\Fwise_JPN.exe"); }
};

class JapaneseTexts : public StoreTest {};

TEST_F(JapaneseTexts, SetupMessages) {
    Recorder install;
    OnSetupDll(install, SetupAction::Install);
    std::vector<std::string> expected = {"これより 32bit版 DLLのインストールを開始します。",
                                         "\"Folderwise\" のインストールに成功しました。",
                                         "これより 64bit版 DLLのインストールを開始します。",
                                         "C:\\Tools\\Fwise64.dll が見つかりません"};
    EXPECT_EQ(install.boxes, expected);
    Recorder uninstall;
    OnSetupDll(uninstall, SetupAction::Uninstall);
    ASSERT_GE(uninstall.boxes.size(), 2u);
    EXPECT_EQ(uninstall.boxes[0], "これより 32bit版 DLLのアンインストールを開始します。");
    EXPECT_EQ(uninstall.boxes[1], "\"Folderwise\" のアンインストールに成功しました。");
}

TEST_F(JapaneseTexts, RuleHelpAndDefaults) {
    const TextSet& t = Texts();
    std::string byName = Utf8(t.informByName);
    EXPECT_NE(byName.find("\"http://..../123abc123.txt\" にマッチします)\n"), std::string::npos) << byName;
    EXPECT_EQ(byName.find("ﾉ"), std::string::npos) << byName;
    EXPECT_EQ(Utf8(t.defaultFontFace), "ＭＳ Ｐゴシック");
    EXPECT_EQ(t.defaultCharSet, 128u);
    EXPECT_EQ(t.lblInformSetupOldWindows, nullptr) << "the Japanese build keeps its Setup text";
}

}  // namespace
}  // namespace fw::test
