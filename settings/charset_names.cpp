#include "texts.h"

namespace fw {

// In the order the numbers are tested.
const CharSetName kCharSetNames[] = {
    {0, u"ANSI (%d)"},          {1, u"Default (%d)"},     {2, u"Symbol (%d)"},
    {128, u"Shift JIS (%d)"},   {129, u"Hangeul (%d)"},   {134, u"GB2312 (%d)"},
    {136, u"Chinese Big5 (%d)"}, {255, u"OEM (%d)"},      {130, u"Johab (%d)"},
    {177, u"Hebrew (%d)"},      {178, u"Arabic (%d)"},    {161, u"Greek (%d)"},
    {162, u"Turkish (%d)"},     {163, u"Vietnamese (%d)"}, {222, u"Thai (%d)"},
    {238, u"East Europe (%d)"}, {204, u"Russian (%d)"},   {77, u"MAC (%d)"},
    {186, u"Baltic (%d)"},      {0xFFFFFFFFu, u"Unknown (%d)"},
};
const uint32_t kCharSetNameCount = sizeof kCharSetNames / sizeof kCharSetNames[0];

}  // namespace fw
