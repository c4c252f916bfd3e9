// Documents with hostile values in every attribute load without a crash:
// each either becomes a tree that draws or fails with the E_FAIL of a missing
// image, nothing else.
#include <gtest/gtest.h>
#include <windows.h>

#include <pugixml.hpp>
#include <random>
#include <string>

#include "tests/unit/layout/layout_test_support.h"
#include "tests/unit/ui/ui_test_support.h"
#include "ui/layout_loader.h"
#include "ui/layout_registry.h"

namespace zrb::test {
namespace {

const wchar_t* const kElements[] = {L"Container",     L"CaptionContainer", L"VerticalContainer",
                                    L"GridContainer", L"Button",           L"Label",
                                    L"LinkLabel",     L"Picture",          L"CheckBox",
                                    L"Carousel",      L"Progress",         L"TextBox",
                                    L"Front",         L"Unknown"};

const wchar_t* const kAttributes[] = {
    L"name",     L"rect",    L"resId",     L"type",   L"action",       L"bold", L"checked",
    L"clrect",   L"col",     L"color",     L"enable", L"fadeinterval", L"font", L"framecount",
    L"interval", L"maxchar", L"multiline", L"row",    L"size",         L"spl",  L"spr",
    L"rectChk",  L"rectLbl", L"vertical",  L"visible"};

const wchar_t* const kValues[] = {L"",
                                  L"0",
                                  L"1",
                                  L"-1",
                                  L"2147483647",
                                  L"-2147483648",
                                  L"4294967295",
                                  L"99999999999",
                                  L"0x7FFFFFFF",
                                  L"12pt",
                                  L"abc",
                                  L"1,2",
                                  L"0,0,300,200",
                                  L"-5,-5,-1,-1",
                                  L"10,10,5,5",
                                  L"2147483647,0,-2147483648,5",
                                  L"1,2,3,4,5",
                                  L",,,",
                                  L"255,0,0",
                                  L"300,-4,7",
                                  L"yes",
                                  L"no",
                                  L"PNG",
                                  L"120",
                                  L"宋体",
                                  L"&amp;&lt;",
                                  L"65656"};

class DocumentMaker {
 public:
  explicit DocumentMaker(unsigned seed) : random_(seed) {}

  std::wstring Make() {
    return L"<Container name='root' rect='0,0,300,200' resId='120' type='PNG'>" + Children(3) +
           L"</Container>";
  }

 private:
  template <typename T, size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[std::uniform_int_distribution<size_t>(0, N - 1)(random_)];
  }
  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  std::wstring Children(int depth) {
    std::wstring children;
    for (int count = Between(0, 4); count > 0; --count) {
      const std::wstring element = Pick(kElements);
      children += L"<" + element;
      for (int attributes = Between(0, 6); attributes > 0; --attributes) {
        children += L" " + std::wstring(Pick(kAttributes)) + L"='" + Pick(kValues) + L"'";
      }
      children += L">";
      if (depth > 0 && Between(0, 2) == 0) children += Children(depth - 1);
      if (Between(0, 1) == 0) children += L"text";
      children += L"</" + element + L">";
    }
    return children;
  }

  std::mt19937 random_;
};

TEST(LayoutRobustness, HostileValuesLoadOrFailWithEFailOnly) {
  RoutingPage page;
  DocumentMaker maker(20261211);
  int loaded = 0;
  int missingImages = 0;
  for (int round = 0; round < 300; ++round) {
    const std::wstring xml = maker.Make();
    SCOPED_TRACE(testing::PrintToString(xml));
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(xml.c_str()));
    try {
      ZRBUE::ContainerUIObjectImpl* root =
          ZRBUE::LoadLayout(page.Get(), document.document_element());
      ASSERT_NE(nullptr, root);
      Canvas canvas(300, 200);
      canvas.Draw(*root);
      ++loaded;
    } catch (HRESULT error) {
      EXPECT_EQ(E_FAIL, error);
      ++missingImages;
    }
    ZRBUE::UnloadLayout(page.Get());
  }
  // Both outcomes occur, so the generator reaches deep enough.
  EXPECT_GT(loaded, 0);
  EXPECT_GT(missingImages, 0);
}

}  // namespace
}  // namespace zrb::test
