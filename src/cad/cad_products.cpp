#include "cad/cad_products.h"

#include <iterator>

namespace nokari {

namespace {

bool startsWith(std::u16string_view s, std::u16string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

bool autocadClass(std::u16string_view c) {
  return (startsWith(c, u"Afx:") && c.find(u":8:") != std::u16string_view::npos) ||
         startsWith(c, u"AfxMDIFrame");
}
bool afxClass(std::u16string_view c) { return startsWith(c, u"Afx:"); }
bool qtClass(std::u16string_view c) { return startsWith(c, u"Qt5QWindowIcon"); }

const CadAutomation kAutocadAutomation{u"Autocad.Application.24",
                                       u"{52EE1CD2-A793-4DEC-9DF9-71CE75881F05}", 53, 12, 89};
const CadAutomation kBricscadAutomation{u"BricscadApp.AcadApplication",
                                        u"{D48F17B7-773E-4238-A6C6-B2BBEBAA9A1E}", 53, -1, 56};
const CadAutomation kGstarcadAutomation{u"Gcad.Application.23",
                                        u"{9D268BF9-B5CA-4C07-946E-D0A1A3A0913F}", 53, 12, 91};

const CadProduct kProducts[] = {
    {"AutoCAD",
     &kAutocadAutomation,
     {{u"AfxMDIFrame140u", {}, nullptr},
      {nullptr, {u"DWG TrueView ", u"AutoCAD ", u"Autodesk "}, &autocadClass}},
     CadTyping::CopyData},
    {"BricsCAD", &kBricscadAutomation, {{u"BricscadMainWindow", {}, nullptr}}, CadTyping::CopyData},
    {"GstarCAD", &kGstarcadAutomation, {}, CadTyping::CopyData},
    {"IJCAD", nullptr, {{nullptr, {u"IJCAD 20"}, &afxClass}}, CadTyping::CommandLine},
    {"ARES", nullptr, {{nullptr, {u"ARES "}, &qtClass}}, CadTyping::InputField},
    {"ZWCAD", nullptr, {{nullptr, {u"ZWCAD "}, &afxClass}}, CadTyping::CopyData},
};

}  // namespace

const CadProduct* cadProductsBegin() { return std::begin(kProducts); }
const CadProduct* cadProductsEnd() { return std::end(kProducts); }

bool titleMatches(const CadWindowSearch& search, std::u16string_view title) {
  for (const char16_t* prefix : search.titlePrefixes)
    if (prefix && startsWith(title, prefix)) return true;
  return false;
}

}  // namespace nokari
