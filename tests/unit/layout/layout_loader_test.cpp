// The layout loader: value syntax and defaults, the walk of the document,
// refused values, missing images, and a loaded page that edits text.
#include "ui/layout_loader.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <functional>
#include <pugixml.hpp>
#include <stdexcept>
#include <string>
#include <typeinfo>
#include <vector>

#include "tests/unit/layout/layout_test_support.h"
#include "tests/unit/ui/ui_test_support.h"
#include "ui/button_ui_object.h"
#include "ui/caption_container_ui_object.h"
#include "ui/carousel_ui_object.h"
#include "ui/check_box_ui_object.h"
#include "ui/grid_container_ui_object.h"
#include "ui/label_ui_object.h"
#include "ui/layout_registry.h"
#include "ui/link_label_ui_object.h"
#include "ui/picture_ui_object.h"
#include "ui/progress_ui_object.h"
#include "ui/text_box_ui_object.h"
#include "ui/ui_messages.h"
#include "ui/vertical_container_ui_object.h"

namespace zrb::test {
namespace {

using namespace ZRBUE;

// The attributes of an image every class that needs one can load.
const std::wstring kImage = L" resId='120' type='PNG' ";

// A root container holding `children`.
std::wstring Page(const std::wstring& children) {
  return L"<Container name='root' rect='0,0,300,200'>" + children + L"</Container>";
}

// The screen's twips for a font of `points`, as the text box computes them.
LONG Twips(int points) {
  HDC screen = ::GetDC(nullptr);
  const int perInch = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return ::MulDiv(perInch, points * 10, 720) * 1440 / perInch;
}

std::vector<std::wstring> Names(const ContainerUIObjectImpl::ObjectList& list) {
  std::vector<std::wstring> names;
  for (const auto& object : list) names.push_back(object->GetName());
  return names;
}

std::vector<std::wstring> Names(const ContainerUIObjectImpl::ContainerList& list) {
  std::vector<std::wstring> names;
  for (const auto& container : list) names.push_back(container->GetName());
  return names;
}

bool SameRect(RECT a, RECT b) { return ::EqualRect(&a, &b) != FALSE; }
bool IsEmpty(RECT rect) { return ::IsRectEmpty(&rect) != FALSE; }

// The one object of class T in the tree; the test ends when there is not
// exactly one.
template <typename T>
T* Only(const ContainerUIObjectImpl& root) {
  const auto found = root.FindObjectsOfClass(typeid(T).name());
  if (found.size() != 1) throw std::runtime_error(std::to_string(found.size()) + " objects");
  return dynamic_cast<T*>(found.front());
}

// Loads documents for a page window and unloads its tree before the window
// goes.
class LoaderTest : public ::testing::Test {
 public:
  ~LoaderTest() override { UnloadLayout(page.Get()); }

  // Parses `xml` and loads its document element.
  ContainerUIObjectImpl* Load(const std::wstring& xml) {
    const pugi::xml_parse_result parsed = document.load_string(xml.c_str());
    EXPECT_TRUE(parsed) << parsed.description();
    return LoadLayout(page.Get(), document.document_element());
  }

  RoutingPage page;
  pugi::xml_document document;
};

TEST_F(LoaderTest, ValueSyntaxAndDefaults) {
  struct Case {
    const char* name;
    std::wstring element;
    std::function<void(ContainerUIObjectImpl&)> check;
  };
  const RECT boxRect = {10, 20, 210, 50};
  const Case cases[] = {
      {"a rect of two numbers keeps zeros", L"<Button rect='10,20'" + kImage + L"/>",
       [](ContainerUIObjectImpl& r) {
         EXPECT_TRUE(SameRect(RECT{10, 20, 0, 0}, Only<ButtonUIObjectImpl>(r)->GetRect()));
       }},
      {"a rect with white space before numbers", L"<Button rect=' 1, 2,\t3,  4'" + kImage + L"/>",
       [](ContainerUIObjectImpl& r) {
         EXPECT_TRUE(SameRect(RECT{1, 2, 3, 4}, Only<ButtonUIObjectImpl>(r)->GetRect()));
       }},
      {"white space before a comma ends the rect", L"<Button rect='1,2 ,3,4'" + kImage + L"/>",
       [](ContainerUIObjectImpl& r) {
         EXPECT_TRUE(SameRect(RECT{1, 2, 0, 0}, Only<ButtonUIObjectImpl>(r)->GetRect()));
       }},
      {"a fifth number is ignored and a sign is allowed",
       L"<Button rect='-5,+6,7,8,9'" + kImage + L"/>",
       [](ContainerUIObjectImpl& r) {
         EXPECT_TRUE(SameRect(RECT{-5, 6, 7, 8}, Only<ButtonUIObjectImpl>(r)->GetRect()));
       }},
      {"action 0x10 is 0, 12abc is 12, absent is 0, -1 wraps",
       L"<Button name='hex' action='0x10'" + kImage + L"/><Button name='tail' action='12abc'" +
           kImage + L"/><Button name='none'" + kImage + L"/><Button name='minus' action='-1'" +
           kImage + L"/>",
       [](ContainerUIObjectImpl& r) {
         auto action = [&r](const wchar_t* name) {
           return static_cast<ButtonUIObjectImpl*>(r.FindObject(name))->GetActionMessage();
         };
         EXPECT_EQ(static_cast<UINT>(WM_USER), action(L"hex"));
         EXPECT_EQ(static_cast<UINT>(WM_USER + 12), action(L"tail"));
         EXPECT_EQ(static_cast<UINT>(WM_USER), action(L"none"));
         EXPECT_EQ(static_cast<UINT>(WM_USER - 1), action(L"minus"));
       }},
      {"integers beyond 32 bits are held at the ends",
       L"<GridContainer rect='0,0,99999999999,-99999999999' col='3' row='99999999999'/>",
       [](ContainerUIObjectImpl& r) {
         ASSERT_EQ(1u, r.GetContainers().size());
         EXPECT_TRUE(SameRect(RECT{0, 0, INT_MAX, INT_MIN}, r.GetContainers()[0]->GetRect()));
       }},
      {"a text box: size 12pt, bold yes, colour bytes, clrect defaults to rect",
       L"<TextBox rect='10,20,210,50' size='12pt' bold='yes' color='300,20,-1'" + kImage + L"/>",
       [boxRect](ContainerUIObjectImpl& r) {
         TextBoxUIObjectImpl* box = Only<TextBoxUIObjectImpl>(r);
         const CHARFORMAT2W* format = box->GetCharFormat();
         ASSERT_NE(nullptr, format);
         EXPECT_EQ(Twips(12), format->yHeight);
         EXPECT_TRUE(format->dwEffects & CFE_BOLD);
         EXPECT_STREQ(L"Arial", format->szFaceName);
         EXPECT_EQ(RGB(44, 20, 255), format->crTextColor);
         // Enabled: the text colour shows, not the automatic one.
         EXPECT_FALSE(format->dwEffects & (CFE_AUTOCOLOR | CFE_DISABLED));
         EXPECT_TRUE(SameRect(boxRect, box->GetClientRect()));
         EXPECT_EQ(65536u, box->GetMaxChars());
         EXPECT_EQ(L"", box->GetText());
       }},
      {"a text box: defaults, a short clrect, a short colour, maxchar 5",
       L"<TextBox rect='10,20,210,50' clrect='12,22' color='10,20' maxchar='5' enable='0'" +
           kImage + L"/>",
       [](ContainerUIObjectImpl& r) {
         TextBoxUIObjectImpl* box = Only<TextBoxUIObjectImpl>(r);
         const CHARFORMAT2W* format = box->GetCharFormat();
         ASSERT_NE(nullptr, format);
         EXPECT_EQ(Twips(10), format->yHeight);
         EXPECT_FALSE(format->dwEffects & CFE_BOLD);
         EXPECT_EQ(RGB(10, 20, 0), format->crTextColor);
         EXPECT_TRUE(format->dwEffects & CFE_DISABLED);
         EXPECT_TRUE(SameRect(RECT{12, 22, 210, 50}, box->GetClientRect()));
         EXPECT_EQ(5u, box->GetMaxChars());
         EXPECT_EQ(TextBoxUIObjectImpl::kDisabled, box->GetState());
       }},
      {"maxchar 0x10 is 0, which is 65536", L"<TextBox maxchar='0x10'" + kImage + L"/>",
       [](ContainerUIObjectImpl& r) {
         EXPECT_EQ(65536u, Only<TextBoxUIObjectImpl>(r)->GetMaxChars());
       }},
      {"a Front rect of two numbers keeps the bar's right and bottom",
       L"<Progress rect='10,10,110,20'" + kImage + L"><Front rect='1,2'" + kImage +
           L"/></Progress>",
       [](ContainerUIObjectImpl& r) {
         const RECT front = Only<ProgressUIObjectImpl>(r)->GetFrontRect();
         EXPECT_TRUE(SameRect(RECT{1, 2, 110, 20}, front));
       }},
      {"a Front without rect takes the bar's",
       L"<Progress rect='10,10,110,20'" + kImage + L"><Front" + kImage + L"/></Progress>",
       [](ContainerUIObjectImpl& r) {
         const RECT front = Only<ProgressUIObjectImpl>(r)->GetFrontRect();
         EXPECT_TRUE(SameRect(RECT{10, 10, 110, 20}, front));
       }},
      {"a check box with text: short rectChk and rectLbl, checked and disabled",
       L"<CheckBox rect='0,0,100,16' rectChk='1,2' rectLbl='7' checked='True' enable='0'" + kImage +
           L">Agree</CheckBox>",
       [](ContainerUIObjectImpl& r) {
         CheckBoxUIObjectImpl* box = Only<CheckBoxUIObjectImpl>(r);
         EXPECT_TRUE(SameRect(RECT{1, 2, 100, 16}, box->GetCheckRect()));
         EXPECT_TRUE(SameRect(RECT{7, 2, 100, 16}, box->GetLabelRect()));
         EXPECT_EQ(L"Agree", box->GetText());
         EXPECT_EQ(CheckBoxUIObjectImpl::kCheckedDisabled, box->GetState());
       }},
      {"a check box without text ignores rectChk",
       L"<CheckBox rect='0,0,16,16' rectChk='1,2,3,4' rectLbl='5,6,7,8'" + kImage + L"/>",
       [](ContainerUIObjectImpl& r) {
         CheckBoxUIObjectImpl* box = Only<CheckBoxUIObjectImpl>(r);
         EXPECT_TRUE(IsEmpty(box->GetCheckRect()));
         EXPECT_TRUE(IsEmpty(box->GetLabelRect()));
         EXPECT_EQ(L"", box->GetText());
         EXPECT_EQ(CheckBoxUIObjectImpl::kUnchecked, box->GetState());
       }},
      {"grid and vertical counts",
       L"<GridContainer rect='0,0,120,90' col='2' row='3px'/>" +
           std::wstring(L"<VerticalContainer row='4'/>"),
       [](ContainerUIObjectImpl& r) {
         ASSERT_EQ(2u, r.GetContainers().size());
         auto* grid = dynamic_cast<GridContainerUIObjectImpl*>(r.GetContainers()[0].get());
         ASSERT_NE(nullptr, grid);
         EXPECT_EQ(60, grid->GetCellWidth());
         EXPECT_EQ(30, grid->GetCellHeight());
         auto* vertical = dynamic_cast<VerticalContainerUIObjectImpl*>(r.GetContainers()[1].get());
         ASSERT_NE(nullptr, vertical);
         EXPECT_EQ(4, vertical->GetRows());
       }},
      {"text content: entities, placeholders, CDATA, the first text only",
       L"<Label name='a'>&lt;安装&gt; $global_install_path$</Label>"
       L"<Label name='b'><![CDATA[<b>&amp;]]></Label>"
       L"<Label name='c'>first<b/>second</Label><Label name='d'/>",
       [](ContainerUIObjectImpl& r) {
         auto text = [&r](const wchar_t* name) {
           return static_cast<LabelUIObjectImpl*>(r.FindObject(name))->GetText();
         };
         EXPECT_EQ(L"<安装> $global_install_path$", text(L"a"));
         EXPECT_EQ(L"<b>&amp;", text(L"b"));
         EXPECT_EQ(L"first", text(L"c"));
         EXPECT_EQ(L"", text(L"d"));
       }},
      {"a label reads no image", L"<Label resId='120' type='PNG'>text</Label>",
       [](ContainerUIObjectImpl& r) { EXPECT_EQ(L"text", Only<LabelUIObjectImpl>(r)->GetText()); }},
      {"the first of two equal attributes counts",
       L"<Button name='first' name='second' rect='1,1,2,2' rect='3,3,4,4'" + kImage + L"/>",
       [](ContainerUIObjectImpl& r) {
         ButtonUIObjectImpl* button = Only<ButtonUIObjectImpl>(r);
         EXPECT_EQ(L"first", button->GetName());
         EXPECT_TRUE(SameRect(RECT{1, 1, 2, 2}, button->GetRect()));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ContainerUIObjectImpl* root = Load(Page(c.element));
    ASSERT_NE(nullptr, root);
    c.check(*root);
  }
}

TEST_F(LoaderTest, BooleansAreTrueForTheirFirstCharacterOnly) {
  struct Case {
    const wchar_t* value;  // null: no attribute
    BOOL expected;
  } cases[] = {
      {L"yes", TRUE}, {L"True", TRUE}, {L"1", TRUE},      {L"Y", TRUE},    {L"no", FALSE},
      {L"0", FALSE},  {L"", FALSE},    {L"false", FALSE}, {nullptr, TRUE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.value ? c.value : L"(absent)")));
    auto attribute = [&c](const wchar_t* name) {
      return c.value ? std::wstring(L" ") + name + L"='" + c.value + L"'" : std::wstring();
    };
    ContainerUIObjectImpl* root = Load(Page(L"<Picture" + attribute(L"visible") + kImage +
                                            L"/><Button" + attribute(L"enable") + kImage + L"/>"));
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(c.expected, Only<PictureUIObjectImpl>(*root)->IsVisible());
    EXPECT_EQ(c.expected, Only<ButtonUIObjectImpl>(*root)->IsEnabled());
  }
}

TEST_F(LoaderTest, CarouselTakesItsTimingFromTheDocument) {
  HostWindow host;
  struct Case {
    const wchar_t* attributes;
    UINT interval;
    float opacityAfterOneFadeTick;
    int frameAfterAFade;
  } cases[] = {
      {L"", 1000, 1.0f - 66.666664f / 500, 0},
      {L"framecount='2' interval='2000' fadeinterval='250'", 2000, 1.0f - 66.666664f / 250, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.attributes)));
    ASSERT_TRUE(document.load_string(
        Page(L"<Carousel rect='0,0,20,10' " + std::wstring(c.attributes) + kImage + L"/>")
            .c_str()));
    ContainerUIObjectImpl* root = LoadLayout(host.Get(), document.document_element());
    ASSERT_NE(nullptr, root);
    CarouselUIObjectImpl* carousel = Only<CarouselUIObjectImpl>(*root);
    host.Take();
    carousel->Play();
    const std::vector<Message> timers = host.Find(ZRBUM_SETANIMATIONTIMER);
    ASSERT_EQ(1u, timers.size());
    EXPECT_EQ(MakeAnimationTimerRequest(c.interval, carousel->GetFrameTimerId()), timers[0].wParam);
    carousel->OnTimer(carousel->GetFadeTimerId());
    EXPECT_FLOAT_EQ(c.opacityAfterOneFadeTick, carousel->GetOpacity());
    while (carousel->GetOpacity() < 1.0f) carousel->OnTimer(carousel->GetFadeTimerId());
    EXPECT_EQ(c.frameAfterAFade, carousel->GetCurrentFrame());
    carousel->Stop();
    UnloadLayout(host.Get());
  }
}

TEST_F(LoaderTest, BothChildListsKeepDocumentOrder) {
  ContainerUIObjectImpl* root = Load(
      Page(L"<Button name='b1'" + kImage +
           L"/>"
           L"<Container name='c1'><Label name='c1l1'/><Container name='c1c1'/><Label name='c1l2'/>"
           L"</Container>"
           L"<Label name='b2'/><CaptionContainer name='c2'/><Picture name='b3'" +
           kImage +
           L"/>"
           L"<VerticalContainer name='c3' row='1'><Container name='c3c1'/><Container name='c3c2'/>"
           L"</VerticalContainer>"));
  ASSERT_NE(nullptr, root);
  EXPECT_EQ((std::vector<std::wstring>{L"b1", L"b2", L"b3"}), Names(root->GetObjects()));
  EXPECT_EQ((std::vector<std::wstring>{L"c1", L"c2", L"c3"}), Names(root->GetContainers()));
  EXPECT_EQ((std::vector<std::wstring>{L"c1l1", L"c1l2"}),
            Names(root->FindContainer(L"c1")->GetObjects()));
  EXPECT_EQ((std::vector<std::wstring>{L"c1c1"}),
            Names(root->FindContainer(L"c1")->GetContainers()));
  EXPECT_EQ((std::vector<std::wstring>{L"c3c1", L"c3c2"}),
            Names(root->FindContainer(L"c3")->GetContainers()));
  EXPECT_NE(nullptr, dynamic_cast<CaptionContainerUIObjectImpl*>(root->FindContainer(L"c2")));
  EXPECT_NE(nullptr, dynamic_cast<VerticalContainerUIObjectImpl*>(root->FindContainer(L"c3")));
  EXPECT_EQ(L"root", root->GetName());
  for (const auto& object : root->GetObjects()) EXPECT_EQ(page.Get(), object->GetHostWindow());
}

TEST_F(LoaderTest, SkipsUnknownElementsAndTheChildrenOfLeaves) {
  ContainerUIObjectImpl* root =
      Load(Page(L"<Slider name='s'><Button name='inSlider'" + kImage +
                L"/></Slider><!-- a note -->some text" + L"<button name='lowerCase'" + kImage +
                L"/><Button name='outer'" + kImage + L"><Button name='inButton'" + kImage +
                L"/></Button>" + L"<Button name='outer'" + kImage + L" rect='1,1,2,2'/>"));
  ASSERT_NE(nullptr, root);
  EXPECT_EQ((std::vector<std::wstring>{L"outer", L"outer"}), Names(root->GetObjects()));
  EXPECT_TRUE(root->GetContainers().empty());
  // Both equal names load; the look-up finds the first.
  EXPECT_TRUE(IsEmpty(root->FindObject(L"outer")->GetRect()));
}

TEST_F(LoaderTest, OnlyAContainerElementBuildsATree) {
  ASSERT_TRUE(document.load_string(
      L"<?xml version='1.0'?><!-- skin --><AnyRoot>"
      L"<Dlg name='Bare'><Button name='b' resId='120' type='PNG'/></Dlg>"
      L"<Dlg name='InitDlg' width='600'><Container name='page' rect='0,0,600,430'/>"
      L"<Container name='second'/></Dlg></AnyRoot>"));
  const pugi::xml_node root = document.document_element();
  const pugi::xml_node bare = root.find_child_by_attribute(L"Dlg", L"name", L"Bare");
  const pugi::xml_node init = root.find_child_by_attribute(L"Dlg", L"name", L"InitDlg");

  // A Dlg without a Container, and a leaf: nothing built, nothing registered.
  EXPECT_EQ(nullptr, LoadLayout(page.Get(), bare.child(L"Container")));
  EXPECT_EQ(nullptr, LoadLayout(page.Get(), bare.child(L"Button")));
  EXPECT_EQ(nullptr, FindLayout(page.Get()));

  ContainerUIObjectImpl* loaded = LoadLayout(page.Get(), init.child(L"Container"));
  ASSERT_NE(nullptr, loaded);
  EXPECT_EQ(L"page", loaded->GetName());
  EXPECT_EQ(loaded, FindLayout(page.Get()));
  // Once a tree is registered, a node that is no Container returns it.
  EXPECT_EQ(loaded, LoadLayout(page.Get(), bare.child(L"Container")));
}

TEST_F(LoaderTest, MissingImagesRaiseEFailAndKeepWhatWasMade) {
  const std::wstring failing[] = {
      L"<Button resId='999' type='PNG'/>",
      L"<Button/>",
      L"<Picture resId='120' type='GIF'/>",
      L"<LinkLabel resId='120' type='PNG'/>",
      L"<TextBox resId='999' type='PNG'/>",
      L"<Progress" + kImage + L"/>",
      L"<Progress" + kImage + L"><Front resId='999' type='PNG'/></Progress>",
      L"<Container resId='999' type='PNG'/>",
  };
  for (const std::wstring& element : failing) {
    SCOPED_TRACE(testing::PrintToString(element));
    HRESULT raised = S_OK;
    try {
      Load(Page(L"<Button name='before'" + kImage + L"/>" + element + L"<Button name='after'" +
                kImage + L"/>"));
    } catch (HRESULT error) {
      raised = error;
    }
    EXPECT_EQ(E_FAIL, raised);
    ContainerUIObjectImpl* registered = FindLayout(page.Get());
    ASSERT_NE(nullptr, registered);
    EXPECT_EQ((std::vector<std::wstring>{L"before"}), Names(registered->GetObjects()));
  }
}

TEST_F(LoaderTest, RefusesImpossibleValuesWithoutTheElement) {
  const std::wstring refused[] = {
      L"<VerticalContainer row='0'><Button name='inside'" + kImage + L"/></VerticalContainer>",
      L"<VerticalContainer/>",
      L"<GridContainer col='-1' row='2'/>",
      L"<GridContainer col='2'/>",
      L"<Carousel framecount='0'" + kImage + L"/>",
      L"<Label size='-3'>text</Label>",
      L"<CheckBox size='-1'" + kImage + L">text</CheckBox>",
      L"<Progress rect='0,0,100,10'" + kImage + L"><Front spl='-1'" + kImage + L"/></Progress>",
      // Refused before its image is looked for.
      L"<Carousel framecount='-2' resId='999' type='PNG'/>",
  };
  for (const std::wstring& element : refused) {
    SCOPED_TRACE(testing::PrintToString(element));
    ContainerUIObjectImpl* root = Load(Page(element + L"<Button name='after'" + kImage + L"/>"));
    ASSERT_NE(nullptr, root);
    EXPECT_EQ((std::vector<std::wstring>{L"after"}), Names(root->GetObjects()));
    EXPECT_TRUE(root->GetContainers().empty());
  }
}

// Rects whose right or bottom lie before left or top, as short values make
// them, load and draw without harm.
TEST_F(LoaderTest, BackwardRectsLoadAndDrawSafely) {
  ContainerUIObjectImpl* root =
      Load(Page(L"<Button rect='10,20'" + kImage + L"/><Picture rect='50,50,40,40'" + kImage +
                L"/><TextBox rect='100,10,300,40' clrect='150,30,120,20'" + kImage +
                L">text</TextBox><CheckBox rect='0,0,16,16' rectChk='9,9,1,1'" + kImage +
                L">text</CheckBox><GridContainer rect='100,100,90,90' col='3' row='3'><Container/>"
                L"</GridContainer><Progress rect='0,100,50,90'" +
                kImage + L"><Front rect='5,5,1,1' spl='30' spr='30'" + kImage + L"/></Progress>"));
  ASSERT_NE(nullptr, root);
  EXPECT_EQ(5u, root->GetObjects().size());
  Canvas canvas(300, 200);
  canvas.Draw(*root);
}

// A page document turns into a tree whose text box edits text through the
// page's routing and draws it.
TEST_F(LoaderTest, LoadedTextBoxEditsThroughThePage) {
  ContainerUIObjectImpl* root = Load(
      L"<Container rect='0,0,300,100'><CaptionContainer name='Body' rect='0,0,300,100'>"
      L"<TextBox name='Folder' rect='20,30,220,60' color='0,0,0' size='12' maxchar='12'" +
      kImage + L">C:\\Apps</TextBox></CaptionContainer></Container>");
  ASSERT_NE(nullptr, root);
  page.SetRoot(root);
  const auto found = root->FindObjectsOfClass(typeid(TextBoxUIObjectImpl).name());
  ASSERT_EQ(1u, found.size());
  auto* box = dynamic_cast<TextBoxUIObjectImpl*>(found.front());
  ASSERT_NE(nullptr, box);
  EXPECT_EQ(box, root->FindContainer(L"Body")->FindObject(L"Folder"));
  EXPECT_EQ(L"C:\\Apps", box->GetText());

  page.Click(100, 45);
  EXPECT_EQ(static_cast<IZRBBaseUIObject*>(box), page.FocusOwner());
  page.Key(VK_END);
  page.Type(L"\\Pomelia");
  EXPECT_EQ(L"C:\\Apps\\Pome", box->GetText());

  Canvas canvas(300, 100);
  canvas.Draw(*root);
  EXPECT_EQ(Hex(kTextBoxCells[1]), Hex(canvas.Pixel(20, 30)));
  EXPECT_TRUE(canvas.AnyPixel(
      RECT{25, 35, 215, 55}, [](uint32_t p) { return p != kTextBoxCells[1] && Alpha(p) == 0xFF; }));
}

}  // namespace
}  // namespace zrb::test
