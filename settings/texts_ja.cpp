// The Japanese build's texts. The source is UTF-8; the literals are UTF-16.
#include "fw_version.h"
#include "texts.h"

// A text left out is an error here, not a null pointer at run time.
#pragma GCC diagnostic error "-Wmissing-field-initializers"

namespace fw {

static const TextSet kJapanese = {
    .caption = u"Folderwise",
    .tabRules = u"条件の設定",
    .tabGeneral = u"全般",
    .tabSetup = u"セットアップ",
    .tabAbout = u"バージョン情報",
    .btnOK = u"OK",
    .btnCancel = u"ｷｬﾝｾﾙ",
    .btnApply = u"更新",
    .btnHelp = u"ﾍﾙﾌﾟ",

    .colRule = u"ファイル名, 拡張子, URL",
    .colFolder = u"ダウンロード先",
    .hintAddByName = u"ファイル名、または拡張子の条件を追加  [CTRL + I], [INS]",
    .hintAddByUrl = u"URLの条件を追加  [CTRL + U]",
    .hintEdit = u"選択中の条件を編集  [Enter]",
    .hintDelete = u"選択中の条件を削除  [CTRL + D], [DEL]",
    .hintUp = u"選択中の条件の優先度を上げる  [CTRL + ↑]",
    .hintDown = u"選択中の条件の優先度を下げる  [CTRL + ↓]",

    .cbUseDefault = u"全ての条件に一致しなかった場合は、デフォルトのダウンロード先を使用する(&D)",
    .cbParseURL = u"リダイレクトURL、引数付きのURLを解析する(&P)",
    .cbUseContentDisposition = u"サーバーが送るファイル名を使用する (Content-Disposition)",
    .lblInformParase = u"リダイレクトURLや、CGIやPHPなどの引数の付いたURL  "
        u"(例: http://～/download.cgi?file=test.txt?id=123)  から正しいリンク先を取得します",
    .lblChangeFont = u"GUIフォント",
    .lblFontFace = u"フォント名",
    .lblCharSet = u"文字セット",
    .btnChangeFont = u"GUIフォントの変更(&F)...",

    .gbInstall = u"インストール / アンインストール",
    .lblSetupExp = u"以下の手順で\"Folderwise\"をインストール / アンインストールできます",
    .lblInformSetup = u"インストール、およびアンインストールには管理者の権限が必要です",
    .lblInformSetupOldWindows = nullptr,  // kept on every Windows
    .label1 = u"手順 1. 全てのInternet Explorerを閉じる",
    .label2 = u"手順 2. [インストール(I)...] ボタン、または [アンインストール(U)...] ボタンを押す",
    .btnInstall = u"インストール(&I)...",
    .btnUninstall = u"アンインストール(&U)...",
    .cbDelReg = u"オプション設定も削除する(&R)",
    .notFound = u" が見つかりません",
    .notice32Start = u"これより 32bit版 DLLの",
    .notice64Start = u"これより 64bit版 DLLの",
    .noticeInstall = u"",
    .noticeUninstall = u"アン",
    .notice32End = u"インストールを開始します。",
    .notice64End = u"インストールを開始します。",
    .installed = u"\"Folderwise\" のインストールに成功しました。",
    .uninstalled = u"\"Folderwise\" のアンインストールに成功しました。",
    .installFailed = u"\"Folderwise\" のインストールに失敗しました。",
    .uninstallFailed = u"\"Folderwise\" のアンインストールに失敗しました。",

    .aboutTitle = u"Folderwise",
    .aboutVersion = u"                                                 Version " FW_VERSION_SHORT,
    .aboutRights = u"Copyright (C) 2026 The Folderwise developers",
    .aboutSoftType = u"フリーソフトウェア",
    .gbContact = u" Contact ",
    .lblMail = u"Mail :",
    .lblURL = u"URL :",
    .mailAddress = u"folderwise@example.org",
    .webAddress = u"https://example.org/folderwise/",

    .closeQuestion = u"変更を破棄して終了しますか?",
    .saveFailed = u"設定を保存できませんでした。",
    .pickerTitle = u"フォルダの選択",

    .ruleCaption = u"Folderwise - 条件の編集",
    .lblFolder = u"ダウンロード先",
    .hintFolderKey = u"F4: フォルダの選択",
    .lblRuleByName = u"ファイル名, 拡張子の条件",
    .lblRuleByUrl = u"URLの条件",
    .informByName = u"・ファイル名は検索パターンとして使用されます (パターン \"abc\" は \"http://..../123abc123.txt\" にマッチします)\n"
        u"・拡張子を指定する場合は、先頭に . を付けてください (例: \".txt\",  \".wmv\")\n"
        u"・大文字/小文字は区別しません",
    .informByUrl = u"・URLに含まれる文字を指定します (例: \"www.example.com\",  \"/abc/def\")\n"
        u"・大文字/小文字は区別しません",

    .defaultFontFace = u"ＭＳ Ｐゴシック",
    .defaultCharSet = 128,
    .layoutFontFace = u"ＭＳ Ｐゴシック",
    .layoutCharSet = 128,

    .hintExport = u"条件のエクスポート\u2026",
    .hintImport = u"条件のインポート\u2026",
    .rulesFileFilter = u"登録ファイル (*.reg)",
    .exportFailed = u"このファイルに条件を書き込めませんでした。何も書き込まれていません:\n",
    .importRefused = u"インポートしませんでした。条件は変わっていません。次のファイルは受け付けられません:\n",
    .importQuestion = u"条件の一覧を、このファイルの %d 個の条件で置き換えますか?\n\n"
        u"はい: ファイルの条件とオプションで、一覧とオプションを置き換えます。\n"
        u"いいえ: ファイルの条件を一覧の後に追加します。",
};

static const LayoutSet kJapaneseLayout = {
    .lvListTop = 28,
    .lvListHeight = 335,
    .cbUseDefaultWidth = 447,
    .cbParseURLWidth = 281,
    .cbUseContentDispositionWidth = 360,
    .lblChangeFontTop = 172,
    .lblFontFaceTop = 192,
    .lblCharSetTop = 218,
    .eFontFaceTop = 188,
    .eCharSetTop = 214,
    .btnChangeFontLeft = 30,
    .btnChangeFontTop = 246,
    .gbInstallHeight = 199,
    .lblInformTop = 51,
    .lblInformWidth = 549,
    .lblInformHeight = 34,
    .cbDelRegLeft = 208,
    .cbDelRegWidth = 179,
    .lblMailLeft = 15,
    .lblURLLeft = 14,
    .ruleInformWidth = 575,
    .editHeight = 20,
    .listFontFace = u"MS UI Gothic",
    .rulePanelFontFace = u"ＭＳ Ｐゴシック",
    .fixedFontCharSet = 128,
};

const TextSet& Texts() { return kJapanese; }
const LayoutSet& Layout() { return kJapaneseLayout; }

}  // namespace fw
