#include "ui/layout_loader.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/utility/trace.h"
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
#include "ui/vertical_container_ui_object.h"

namespace ZRBUE {
namespace {

enum class Kind {
  kContainer,
  kCaptionContainer,
  kVerticalContainer,
  kGridContainer,
  kButton,
  kLabel,
  kTextBox,
  kLinkLabel,
  kCheckBox,
  kProgress,
  kCarousel,
  kPicture,
};

// --- value syntax ---

// A decimal number at `*cursor`: white space, an optional sign, digits.
// Advances past it and stores it, its magnitude held at 2^32; false (cursor
// unmoved) when there are no digits.
bool ScanNumber(const wchar_t** cursor, int64_t* value) {
  constexpr int64_t kLargest = int64_t{1} << 32;
  const wchar_t* p = *cursor;
  while (std::iswspace(*p)) ++p;
  bool negative = false;
  if (*p == L'+' || *p == L'-') negative = *p++ == L'-';
  if (*p < L'0' || *p > L'9') return false;
  int64_t magnitude = 0;
  for (; *p >= L'0' && *p <= L'9'; ++p) {
    magnitude = std::min(magnitude * 10 + (*p - L'0'), kLargest);
  }
  *value = negative ? -magnitude : magnitude;
  *cursor = p;
  return true;
}

int ClampToInt(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

// Up to `count` numbers separated by single commas; returns how many were
// read into `values` (the others are untouched).
int ScanNumberList(const wchar_t* text, int* values, int count) {
  int read = 0;
  int64_t value = 0;
  while (read < count && ScanNumber(&text, &value)) {
    values[read++] = ClampToInt(value);
    if (*text != L',') break;
    ++text;
  }
  return read;
}

// The attribute's number; 0 when it has no digits.
int64_t NumberOf(const pugi::xml_attribute& attribute) {
  const wchar_t* text = attribute.value();
  int64_t value = 0;
  return ScanNumber(&text, &value) ? value : 0;
}

int Integer(const pugi::xml_node& element, const wchar_t* name, int fallback) {
  const pugi::xml_attribute attribute = element.attribute(name);
  return attribute ? ClampToInt(NumberOf(attribute)) : fallback;
}

// Negative numbers wrap around, larger ones are held at 4294967295.
UINT Unsigned(const pugi::xml_node& element, const wchar_t* name, UINT fallback) {
  const pugi::xml_attribute attribute = element.attribute(name);
  if (!attribute) return fallback;
  const int64_t value = NumberOf(attribute);
  return value < 0 ? static_cast<UINT>(ClampToInt(value))
                   : static_cast<UINT>(std::min<int64_t>(value, UINT_MAX));
}

BOOL Boolean(const pugi::xml_node& element, const wchar_t* name, BOOL fallback) {
  const pugi::xml_attribute attribute = element.attribute(name);
  if (!attribute) return fallback;
  switch (attribute.value()[0]) {
    case L'1':
    case L't':
    case L'T':
    case L'y':
    case L'Y':
      return TRUE;
    default:
      return FALSE;
  }
}

std::wstring Text(const pugi::xml_node& element, const wchar_t* name) {
  return element.attribute(name).value();
}

// `absent` when the attribute is missing; otherwise the numbers it gives,
// the remaining fields taken from `base`.
RECT Rect(const pugi::xml_node& element, const wchar_t* name, const RECT& absent,
          const RECT& base) {
  const pugi::xml_attribute attribute = element.attribute(name);
  if (!attribute) return absent;
  int fields[4] = {base.left, base.top, base.right, base.bottom};
  ScanNumberList(attribute.value(), fields, 4);
  return RECT{fields[0], fields[1], fields[2], fields[3]};
}

RECT Rect(const pugi::xml_node& element, const wchar_t* name, const RECT& fallback) {
  return Rect(element, name, fallback, fallback);
}

struct Colour {
  BYTE red = 0;
  BYTE green = 0;
  BYTE blue = 0;
};

Colour ColourOf(const pugi::xml_node& element) {
  int parts[3] = {0, 0, 0};
  ScanNumberList(element.attribute(L"color").value(), parts, 3);
  return Colour{static_cast<BYTE>(parts[0]), static_cast<BYTE>(parts[1]),
                static_cast<BYTE>(parts[2])};
}

// The value of the element's first character-data child, or empty.
std::wstring ContentOf(const pugi::xml_node& element) { return element.text().get(); }

// --- the attributes every class reads ---

struct Common {
  std::wstring name;
  RECT rect;
  std::wstring type;
  UINT resId;
  BOOL visible;
  BOOL enabled;
};

Common CommonOf(const pugi::xml_node& element) {
  return Common{Text(element, L"name"),
                Rect(element, L"rect", RECT{}),
                Text(element, L"type"),
                Unsigned(element, L"resId", 0),
                Boolean(element, L"visible", TRUE),
                Boolean(element, L"enable", TRUE)};
}

struct Font {
  std::wstring family;
  int size;
  BOOL bold;
};

Font FontOf(const pugi::xml_node& element) {
  const pugi::xml_attribute family = element.attribute(L"font");
  return Font{family ? family.value() : L"Arial", Integer(element, L"size", 10),
              Boolean(element, L"bold", FALSE)};
}

void InitWith(IZRBBaseUIObject& object, HWND host, const Common& common) {
  object.Init(host, common.rect.left, common.rect.top, common.rect.right, common.rect.bottom,
              common.resId, common.type.c_str());
}

void ShowAndEnable(IZRBBaseUIObject& object, const Common& common) {
  object.SetVisible(common.visible);
  object.SetEnabled(common.enabled);
}

// --- values outside the format ---

// Why the element cannot be built, or null.
const wchar_t* RefusalOf(const pugi::xml_node& element, Kind kind) {
  switch (kind) {
    case Kind::kVerticalContainer:
      if (Integer(element, L"row", 0) < 1) return L"row is below 1";
      break;
    case Kind::kGridContainer:
      if (Integer(element, L"row", 0) < 1) return L"row is below 1";
      if (Integer(element, L"col", 0) < 1) return L"col is below 1";
      break;
    case Kind::kCarousel:
      if (Integer(element, L"framecount", 1) < 1) return L"framecount is below 1";
      break;
    case Kind::kProgress: {
      const pugi::xml_node front = element.child(L"Front");
      if (Integer(front, L"spl", 0) < 0 || Integer(front, L"spr", 0) < 0) {
        return L"spl or spr is negative";
      }
      break;
    }
    case Kind::kLabel:
    case Kind::kLinkLabel:
    case Kind::kTextBox:
      if (Integer(element, L"size", 10) < 0) return L"size is negative";
      break;
    case Kind::kCheckBox:
      // Without text the box reads no font.
      if (!ContentOf(element).empty() && Integer(element, L"size", 10) < 0) {
        return L"size is negative";
      }
      break;
    default:
      break;
  }
  return nullptr;
}

// --- building, one function per class, in the order of configuration ---

void ConfigureContainer(ContainerUIObjectImpl& container, HWND host,
                        const pugi::xml_node& element) {
  const Common common = CommonOf(element);
  InitWith(container, host, common);
  container.SetName(common.name);
  ShowAndEnable(container, common);
}

std::unique_ptr<ContainerUIObjectImpl> BuildContainer(HWND host, const pugi::xml_node& element,
                                                      Kind kind) {
  switch (kind) {
    case Kind::kCaptionContainer: {
      auto caption = std::make_unique<CaptionContainerUIObjectImpl>();
      ConfigureContainer(*caption, host, element);
      return caption;
    }
    case Kind::kVerticalContainer: {
      auto vertical = std::make_unique<VerticalContainerUIObjectImpl>();
      ConfigureContainer(*vertical, host, element);
      vertical->SetRows(Integer(element, L"row", 0));
      return vertical;
    }
    case Kind::kGridContainer: {
      auto grid = std::make_unique<GridContainerUIObjectImpl>();
      ConfigureContainer(*grid, host, element);
      grid->SetColumns(Integer(element, L"col", 0));
      grid->SetRows(Integer(element, L"row", 0));
      grid->SetVertical(Boolean(element, L"vertical", FALSE));
      return grid;
    }
    default: {
      auto container = std::make_unique<ContainerUIObjectImpl>();
      ConfigureContainer(*container, host, element);
      return container;
    }
  }
}

std::unique_ptr<IZRBBaseUIObject> BuildButton(HWND host, const pugi::xml_node& element) {
  auto button = std::make_unique<ButtonUIObjectImpl>();
  const Common common = CommonOf(element);
  InitWith(*button, host, common);
  button->SetAction(Unsigned(element, L"action", 0));
  button->SetName(common.name);
  ShowAndEnable(*button, common);
  return button;
}

std::unique_ptr<IZRBBaseUIObject> BuildLabel(HWND host, const pugi::xml_node& element) {
  auto label = std::make_unique<LabelUIObjectImpl>();
  const Common common = CommonOf(element);
  const RECT& r = common.rect;
  label->Init(host, r.left, r.top, r.right, r.bottom, 0, nullptr);
  label->SetText(ContentOf(element));
  const Colour colour = ColourOf(element);
  label->SetColor(colour.red, colour.green, colour.blue);
  const Font font = FontOf(element);
  label->SetFont(font.family, font.size, font.bold);
  label->SetName(common.name);
  ShowAndEnable(*label, common);
  return label;
}

std::unique_ptr<IZRBBaseUIObject> BuildTextBox(HWND host, const pugi::xml_node& element) {
  auto textBox = std::make_unique<TextBoxUIObjectImpl>();
  const Common common = CommonOf(element);
  InitWith(*textBox, host, common);
  textBox->SetClientRect(Rect(element, L"clrect", common.rect));
  textBox->CreateHost();
  const Colour colour = ColourOf(element);
  textBox->SetTextColor(colour.red, colour.green, colour.blue);
  textBox->SetName(common.name);
  const Font font = FontOf(element);
  textBox->SetFont(font.family, font.size, font.bold);
  textBox->SetMaxChars(Integer(element, L"maxchar", 0));
  textBox->SetVisible(common.visible);
  textBox->SetEnabled(common.enabled);
  textBox->SetMultiLine(Boolean(element, L"multiline", FALSE));
  textBox->SetText(ContentOf(element));
  return textBox;
}

std::unique_ptr<IZRBBaseUIObject> BuildLinkLabel(HWND host, const pugi::xml_node& element) {
  auto link = std::make_unique<LinkLabelUIObjectImpl>();
  const Common common = CommonOf(element);
  InitWith(*link, host, common);
  const Colour colour = ColourOf(element);
  link->SetColor(colour.red, colour.green, colour.blue);
  const Font font = FontOf(element);
  link->SetFont(font.family, font.size, font.bold);
  link->SetText(ContentOf(element));
  link->SetAction(Unsigned(element, L"action", 0));
  link->SetName(common.name);
  ShowAndEnable(*link, common);
  return link;
}

std::unique_ptr<IZRBBaseUIObject> BuildCheckBox(HWND host, const pugi::xml_node& element) {
  auto checkBox = std::make_unique<CheckBoxUIObjectImpl>();
  const Common common = CommonOf(element);
  InitWith(*checkBox, host, common);
  const std::wstring text = ContentOf(element);
  if (!text.empty()) {
    const RECT check = Rect(element, L"rectChk", RECT{}, common.rect);
    checkBox->SetCheckRect(check);
    checkBox->SetLabelRect(Rect(element, L"rectLbl", RECT{}, check));
    const Colour colour = ColourOf(element);
    checkBox->SetColor(colour.red, colour.green, colour.blue);
    const Font font = FontOf(element);
    checkBox->SetFont(font.family, font.size, font.bold);
    checkBox->SetText(text);
  }
  checkBox->SetAction(Unsigned(element, L"action", 0));
  checkBox->SetName(common.name);
  // Checked before enabled: a checked, disabled box shows its own cell.
  checkBox->SetChecked(Boolean(element, L"checked", FALSE));
  ShowAndEnable(*checkBox, common);
  return checkBox;
}

std::unique_ptr<IZRBBaseUIObject> BuildProgress(HWND host, const pugi::xml_node& element) {
  auto progress = std::make_unique<ProgressUIObjectImpl>();
  const Common common = CommonOf(element);
  InitWith(*progress, host, common);
  progress->SetName(common.name);
  ShowAndEnable(*progress, common);
  const pugi::xml_node front = element.child(L"Front");
  progress->SetFront(Rect(front, L"rect", common.rect), Integer(front, L"spl", 0),
                     Integer(front, L"spr", 0));
  progress->SetFrontImage(Text(front, L"type").c_str(), Unsigned(front, L"resId", 0));
  return progress;
}

std::unique_ptr<IZRBBaseUIObject> BuildCarousel(HWND host, const pugi::xml_node& element) {
  auto carousel = std::make_unique<CarouselUIObjectImpl>();
  const Common common = CommonOf(element);
  InitWith(*carousel, host, common);
  carousel->SetName(common.name);
  ShowAndEnable(*carousel, common);
  carousel->SetFrameCount(Integer(element, L"framecount", 1));
  carousel->SetCurrentFrame(0);
  carousel->SetInterval(Unsigned(element, L"interval", 1000));
  carousel->SetFadeTime(Unsigned(element, L"fadeinterval", 500));
  return carousel;
}

std::unique_ptr<IZRBBaseUIObject> BuildPicture(HWND host, const pugi::xml_node& element) {
  auto picture = std::make_unique<PictureUIObjectImpl>();
  const Common common = CommonOf(element);
  InitWith(*picture, host, common);
  picture->SetName(common.name);
  ShowAndEnable(*picture, common);
  return picture;
}

// --- the element names ---

using LeafBuilder = std::unique_ptr<IZRBBaseUIObject> (*)(HWND host, const pugi::xml_node& element);

struct Element {
  const wchar_t* name;
  Kind kind;
  LeafBuilder buildLeaf;  // null for containers
};

constexpr Element kElements[] = {
    {L"Container", Kind::kContainer, nullptr},
    {L"CaptionContainer", Kind::kCaptionContainer, nullptr},
    {L"VerticalContainer", Kind::kVerticalContainer, nullptr},
    {L"GridContainer", Kind::kGridContainer, nullptr},
    {L"Button", Kind::kButton, BuildButton},
    {L"Label", Kind::kLabel, BuildLabel},
    {L"TextBox", Kind::kTextBox, BuildTextBox},
    {L"LinkLabel", Kind::kLinkLabel, BuildLinkLabel},
    {L"CheckBox", Kind::kCheckBox, BuildCheckBox},
    {L"Progress", Kind::kProgress, BuildProgress},
    {L"Carousel", Kind::kCarousel, BuildCarousel},
    {L"Picture", Kind::kPicture, BuildPicture},
};

// The UI element `node` is, or null for anything else.
const Element* ElementOf(const pugi::xml_node& node) {
  if (node.type() != pugi::node_element) return nullptr;
  for (const Element& element : kElements) {
    if (std::wcscmp(node.name(), element.name) == 0) return &element;
  }
  return nullptr;
}

// Traces the refusal and returns true when the element cannot be built.
bool Refused(const pugi::xml_node& element, Kind kind) {
  const wchar_t* reason = RefusalOf(element, kind);
  if (!reason) return false;
  zrb::Trace(L"LoadLayout: <%s name=\"%s\"> refused: %s\r\n", element.name(),
             element.attribute(L"name").value(), reason);
  return true;
}

}  // namespace

ContainerUIObjectImpl* LoadLayout(HWND host, pugi::xml_node containerNode) {
  const Element* rootElement = ElementOf(containerNode);
  if (!rootElement || rootElement->kind != Kind::kContainer) return FindLayout(host);

  // Registered before it is configured: when an image is missing, what was
  // made so far stays in the registry's tree.
  ContainerUIObjectImpl* root = RegisterLayout(host, std::make_unique<ContainerUIObjectImpl>());
  ConfigureContainer(*root, host, containerNode);

  std::vector<std::pair<ContainerUIObjectImpl*, pugi::xml_node>> work;
  work.emplace_back(root, containerNode);
  while (!work.empty()) {
    const auto [parent, node] = work.back();
    work.pop_back();
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
      const Element* element = ElementOf(child);
      if (!element || Refused(child, element->kind)) continue;
      if (element->buildLeaf) {
        parent->AddObject(element->buildLeaf(host, child).release());
      } else {
        ContainerUIObjectImpl* container = BuildContainer(host, child, element->kind).release();
        parent->AddContainer(container);
        work.emplace_back(container, child);
      }
    }
  }
  return FindLayout(host);
}

}  // namespace ZRBUE
