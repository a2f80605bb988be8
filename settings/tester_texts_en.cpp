// The English build's tester texts.
#include "tester_texts.h"

namespace fw {

static TesterTexts English() {
    TesterTexts t{};
    t.hintTest = u"Test a download address";
    t.caption = u"Folderwise - Test";
    t.lblAddress = u"Download address";
    t.cbFollow = u"Follow script and redirect addresses";
    t.btnTest = u"Test";
    t.btnCancel = u"Cancel";
    t.btnClose = u"Close";
    t.colRule = u"Rule";
    t.colWhy = u"Why";
    t.resolving = u"Following the address...";
    t.rowAddress = u"Address";
    t.rowResolved = u"Followed to";
    t.resolveFailed = u"could not be followed: tested as given";
    t.resolveCancelled = u"cancelled: tested as given";
    t.rowNameSource = u"File name taken from";
    t.rowNamePart = u"Name part";
    t.rowExtension = u"Extension";
    t.none = u"(none)";
    t.nameMatched = u"the file name %1 contains \"%2\"";
    t.nameNotFound = u"the file name %1 does not contain \"%2\"";
    t.noNamePart = u"there is no file name: name rules cannot match";
    t.extMatched = u"the extension is %1";
    t.extDiffers = u"the extension is %1, not %2";
    t.noExtension = u"there is no extension, so not %2";
    t.urlMatched = u"the address contains \"%2\"";
    t.urlNotFound = u"URL rules look at the address: it does not contain \"%2\"";
    t.skippedEmpty = u"skipped: empty text";
    t.unknownType = u"skipped: type %1 is no rule type";
    t.neverTried = u"never tried: rule %1 matched first";
    t.rowResult = u"Save dialog";
    t.byRule = u"opens in %1 (rule %2)";
    t.byDefault = u"opens in %1 (default folder)";
    t.emptyRuleFolder = u"rule %2 matched but has no folder: Internet Explorer chooses";
    t.noFolder = u"no rule matched and no default folder: Internet Explorer chooses";
    t.markShadowed = u"Never used: rule %1 (\"%2\") always matches first";
    t.markEmpty = u"Can never match: the text is empty";
    t.markUnknownType = u"Can never match: type %1 is no rule type";
    t.markTwoDots = u"Can never match: an extension runs from the last \".\", so it holds only one \".\"";
    t.markNoDot = u"Can never match: an extension begins with \".\"";
    t.markNameSlash = u"Can never match: a file name holds no \"/\" but at its start";
    t.markNoFolder = u"Does nothing: the folder %1 does not exist";
    return t;
}

const TesterTexts& TestTexts() {
    static const TesterTexts t = English();
    return t;
}

}  // namespace fw
