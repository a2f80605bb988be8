// The Japanese build's tester texts. The source is UTF-8; the literals are UTF-16.
#include "tester_texts.h"

namespace fw {

static TesterTexts Japanese() {
    TesterTexts t{};
    t.hintTest = u"ダウンロード先のURLをテスト";
    t.caption = u"Folderwise - テスト";
    t.lblAddress = u"ダウンロードするURL";
    t.cbFollow = u"スクリプトやリダイレクトのURLをたどる";
    t.btnTest = u"テスト";
    t.btnCancel = u"ｷｬﾝｾﾙ";
    t.btnClose = u"閉じる";
    t.colRule = u"条件";
    t.colWhy = u"理由";
    t.resolving = u"URLをたどっています...";
    t.rowAddress = u"URL";
    t.rowResolved = u"たどった先";
    t.resolveFailed = u"たどれませんでした: そのままテストします";
    t.resolveCancelled = u"キャンセルしました: そのままテストします";
    t.rowNameSource = u"ファイル名の取得元";
    t.rowNamePart = u"ファイル名部分";
    t.rowExtension = u"拡張子";
    t.none = u"(なし)";
    t.nameMatched = u"ファイル名 %1 に \"%2\" が含まれます";
    t.nameNotFound = u"ファイル名 %1 に \"%2\" は含まれません";
    t.noNamePart = u"ファイル名がないため、ファイル名の条件は一致しません";
    t.extMatched = u"拡張子は %1 です";
    t.extDiffers = u"拡張子は %1 で、%2 ではありません";
    t.noExtension = u"拡張子がないため、%2 ではありません";
    t.urlMatched = u"URLに \"%2\" が含まれます";
    t.urlNotFound = u"URLの条件はURLを見ます: \"%2\" は含まれません";
    t.skippedEmpty = u"スキップ: 空の条件";
    t.unknownType = u"スキップ: 種類 %1 は条件の種類ではありません";
    t.neverTried = u"未評価: 条件 %1 が先に一致しました";
    t.rowResult = u"保存ダイアログ";
    t.byRule = u"%1 で開きます (条件 %2)";
    t.byDefault = u"%1 で開きます (デフォルトのダウンロード先)";
    t.emptyRuleFolder = u"条件 %2 が一致しましたがフォルダがありません: Internet Explorer が決めます";
    t.noFolder = u"一致する条件もデフォルトのダウンロード先もありません: Internet Explorer が決めます";
    t.markShadowed = u"使われません: 条件 %1 (\"%2\") が常に先に一致します";
    t.markEmpty = u"一致しません: 条件が空です";
    t.markUnknownType = u"一致しません: 種類 %1 は条件の種類ではありません";
    t.markTwoDots = u"一致しません: 拡張子は最後の \".\" から始まるため、\".\" を一つしか含みません";
    t.markNoDot = u"一致しません: 拡張子は \".\" で始まります";
    t.markNameSlash = u"一致しません: ファイル名は先頭以外に \"/\" を含みません";
    t.markNoFolder = u"何もしません: フォルダ %1 がありません";
    return t;
}

const TesterTexts& TestTexts() {
    static const TesterTexts t = Japanese();
    return t;
}

}  // namespace fw
