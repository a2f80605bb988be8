// The Japanese build's texts. The source is UTF-8; the literals are UTF-16.
#include "fw_version.h"
#include "texts.h"

namespace fw {

static const TextSet kJapanese = {
    u"Folderwise",
    u"条件の設定",
    u"全般",
    u"セットアップ",
    u"バージョン情報",
    u"OK",
    u"ｷｬﾝｾﾙ",
    u"更新",
    u"ﾍﾙﾌﾟ",

    u"ファイル名, 拡張子, URL",
    u"ダウンロード先",
    u"ファイル名、または拡張子の条件を追加  [CTRL + I], [INS]",
    u"URLの条件を追加  [CTRL + U]",
    u"選択中の条件を編集  [Enter]",
    u"選択中の条件を削除  [CTRL + D], [DEL]",
    u"選択中の条件の優先度を上げる  [CTRL + ↑]",
    u"選択中の条件の優先度を下げる  [CTRL + ↓]",

    u"全ての条件に一致しなかった場合は、デフォルトのダウンロード先を使用する(&D)",
    u"リダイレクトURL、引数付きのURLを解析する(&P)",
    u"リダイレクトURLや、CGIやPHPなどの引数の付いたURL  "
    u"(例: http://～/download.cgi?file=test.txt?id=123)  から正しいリンク先を取得します",
    u"GUIフォント",
    u"フォント名",
    u"文字セット",
    u"GUIフォントの変更(&F)...",

    u"インストール / アンインストール",
    u"以下の手順で\"Folderwise\"をインストール / アンインストールできます",
    u"インストール、およびアンインストールには管理者の権限が必要です",
    nullptr,  // kept on every Windows
    u"手順 1. 全てのInternet Explorerを閉じる",
    u"手順 2. [インストール(I)...] ボタン、または [アンインストール(U)...] ボタンを押す",
    u"インストール(&I)...",
    u"アンインストール(&U)...",
    u"オプション設定も削除する(&R)",
    u" が見つかりません",
    u"これより 32bit版 DLLの",
    u"これより 64bit版 DLLの",
    u"",
    u"アン",
    u"インストールを開始します。",
    u"インストールを開始します。",
    u"\"Folderwise\" のインストールに成功しました。",
    u"\"Folderwise\" のアンインストールに成功しました。",
    u"\"Folderwise\" のインストールに失敗しました。",
    u"\"Folderwise\" のアンインストールに失敗しました。",

    u"Folderwise",
    u"                                                 Version " FW_VERSION_SHORT,
    u"Copyright (C) 2026 The Folderwise developers",
    u"フリーソフトウェア",
    u" Contact ",
    u"Mail :",
    u"URL :",
    u"folderwise@example.org",
    u"https://example.org/folderwise/",

    u"変更を破棄して終了しますか?",
    u"設定を保存できませんでした。",
    u"フォルダの選択",

    u"Folderwise - 条件の編集",
    u"ダウンロード先",
    u"ファイル名, 拡張子の条件",
    u"URLの条件",
    u"・ファイル名は検索パターンとして使用されます (パターン \"abc\" は \"http://..../123abc123.txt\" にマッチします)\n"
    u"・拡張子を指定する場合は、先頭に . を付けてください (例: \".txt\",  \".wmv\")\n"
    u"・大文字/小文字は区別しません",
    u"・URLに含まれる文字を指定します (例: \"www.example.com\",  \"/abc/def\")\n"
    u"・大文字/小文字は区別しません",

    u"ＭＳ Ｐゴシック",
    128,
    u"ＭＳ Ｐゴシック",
    128,
};

static const LayoutSet kJapaneseLayout = {
    28, 335, 447, 281, 148, 168, 194, 164, 190, 30, 222, 199, 51, 549, 34, 208, 179, 15, 14, 575, 20,
    u"MS UI Gothic", u"ＭＳ Ｐゴシック", 128,
};

const TextSet& Texts() { return kJapanese; }
const LayoutSet& Layout() { return kJapaneseLayout; }

}  // namespace fw
