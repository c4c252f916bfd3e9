// The tree: ownership, look-ups, recursive flags, arranged containers,
// moving subtrees and the per-window registry.
#include <gtest/gtest.h>

#include <typeinfo>

#include "tests/unit/ui/ui_test_support.h"
#include "ui/button_ui_object.h"
#include "ui/check_box_ui_object.h"
#include "ui/container_ui_object.h"
#include "ui/grid_container_ui_object.h"
#include "ui/label_ui_object.h"
#include "ui/layout_registry.h"
#include "ui/progress_ui_object.h"
#include "ui/vertical_container_ui_object.h"

namespace zrb::test {
namespace {

using namespace ZRBUE;

std::unique_ptr<LabelUIObjectImpl> Named(const wchar_t* name) {
  auto label = Make<LabelUIObjectImpl>(nullptr, {0, 0, 10, 10});
  label->SetName(name);
  return label;
}

std::unique_ptr<ContainerUIObjectImpl> NamedContainer(const wchar_t* name,
                                                      RECT rect = {0, 0, 100, 100}) {
  auto container = Make<ContainerUIObjectImpl>(nullptr, rect);
  container->SetName(name);
  return container;
}

// root ─ Body ─ Settings ─ [Folder box, "Agree" check box]
//      │      └ [Install button]
//      └ [Title label, "Install" label, Agree check box]
class LookupTest : public ::testing::Test {
 protected:
  LookupTest() : root(NamedContainer(L"")) {
    body = AddContainer(*root, NamedContainer(L"Body"));
    settings = AddContainer(*body, NamedContainer(L"Settings"));
    deepButton = Add(*settings, Make<ButtonUIObjectImpl>(nullptr, {0, 0, 20, 10}, kButtonStrip));
    deepButton->SetName(L"Folder");
    deepBox = Add(*settings, Make<CheckBoxUIObjectImpl>(nullptr, {0, 0, 16, 16}, kCheckStrip));
    deepBox->SetName(L"Agree");
    bodyButton = Add(*body, Make<ButtonUIObjectImpl>(nullptr, {0, 0, 20, 10}, kButtonStrip));
    bodyButton->SetName(L"Install");
    title = Add(*root, Named(L"Title"));
    firstInstall = Add(*root, Named(L"Install"));
    secondInstall = Add(*root, Named(L"Install"));
    rootBox = Add(*root, Make<CheckBoxUIObjectImpl>(nullptr, {0, 0, 16, 16}, kCheckStrip));
    rootBox->SetName(L"Agree");
  }

  std::unique_ptr<ContainerUIObjectImpl> root;
  ContainerUIObjectImpl* body;
  ContainerUIObjectImpl* settings;
  ButtonUIObjectImpl* deepButton;
  CheckBoxUIObjectImpl* deepBox;
  ButtonUIObjectImpl* bodyButton;
  LabelUIObjectImpl* title;
  LabelUIObjectImpl* firstInstall;
  LabelUIObjectImpl* secondInstall;
  CheckBoxUIObjectImpl* rootBox;
};

TEST_F(LookupTest, FindsDirectChildrenByExactName) {
  EXPECT_EQ(body, root->FindContainer(L"Body"));
  EXPECT_EQ(nullptr, root->FindContainer(L"Settings"));  // not a direct child
  EXPECT_EQ(settings, root->FindContainer(L"Body")->FindContainer(L"Settings"));
  EXPECT_EQ(nullptr, root->FindContainer(L"body"));
  EXPECT_EQ(title, root->FindObject(L"Title"));
  EXPECT_EQ(firstInstall, root->FindObject(L"Install"));  // the first of two
  EXPECT_EQ(nullptr, root->FindObject(L"Folder"));        // nested
  EXPECT_EQ(nullptr, root->FindObject(L"Body"));          // a container
  EXPECT_EQ(nullptr, root->FindObject(L""));
  EXPECT_EQ(bodyButton, body->FindObject(L"Install"));
}

TEST_F(LookupTest, FindsObjectsOfAClassInTheWholeSubtree) {
  using Found = std::vector<IZRBBaseUIObject*>;
  EXPECT_EQ((Found{deepBox, rootBox}),
            root->FindObjectsOfClass(typeid(CheckBoxUIObjectImpl).name()));
  // Child containers first, depth first, then the container's own leaves.
  EXPECT_EQ((Found{deepButton, bodyButton}),
            root->FindObjectsOfClass(typeid(ButtonUIObjectImpl).name()));
  EXPECT_EQ((Found{title, firstInstall, secondInstall}),
            root->FindObjectsOfClass(typeid(LabelUIObjectImpl).name()));
  EXPECT_TRUE(root->FindObjectsOfClass(typeid(ContainerUIObjectImpl).name()).empty());
  EXPECT_TRUE(root->FindObjectsOfClass(typeid(ProgressUIObjectImpl).name()).empty());
  EXPECT_TRUE(root->FindObjectsOfClass("CheckBoxUIObjectImpl").empty());
}

TEST_F(LookupTest, AllVariantsRecurseAndPlainSettersDoNot) {
  root->SetVisible(FALSE);
  EXPECT_TRUE(body->IsVisible());
  EXPECT_TRUE(title->IsVisible());
  root->SetEnabled(FALSE);
  EXPECT_TRUE(body->IsEnabled());
  EXPECT_TRUE(deepButton->IsEnabled());

  IZRBBaseUIObject* everything[] = {root.get(), body,  settings,     deepButton,    deepBox,
                                    bodyButton, title, firstInstall, secondInstall, rootBox};
  for (BOOL on : {FALSE, TRUE}) {
    root->SetVisibleAll(on);
    root->SetEnabledAll(on);
    for (IZRBBaseUIObject* object : everything) {
      EXPECT_EQ(on, object->IsVisible());
      EXPECT_EQ(on, object->IsEnabled());
    }
  }
  EXPECT_EQ(ButtonUIObjectImpl::kNormal, deepButton->GetState());
}

TEST(ContainerChildren, AddedToADisabledContainerAreDisabled) {
  auto container = NamedContainer(L"list");
  container->SetEnabled(FALSE);
  auto* button = Add(*container, Make<ButtonUIObjectImpl>(nullptr, {0, 0, 20, 10}, kButtonStrip));
  auto* child = AddContainer(*container, NamedContainer(L"row"));
  EXPECT_FALSE(button->IsEnabled());
  EXPECT_EQ(ButtonUIObjectImpl::kDisabled, button->GetState());
  EXPECT_FALSE(child->IsEnabled());

  container->SetEnabled(TRUE);
  auto* later = Add(*container, Make<ButtonUIObjectImpl>(nullptr, {0, 0, 20, 10}, kButtonStrip));
  EXPECT_TRUE(later->IsEnabled());
  container->AddObject(nullptr);
  EXPECT_EQ(2u, container->GetObjects().size());
}

// Deleting a root deletes everything it holds.
TEST(ContainerChildren, AreDeletedWithTheirContainer) {
  struct Probe : LabelUIObjectImpl {
    explicit Probe(int* deleted) : deleted(deleted) {}
    ~Probe() override { ++*deleted; }
    int* deleted;
  };
  int deleted = 0;
  {
    auto root = NamedContainer(L"root");
    root->AddObject(new Probe(&deleted));
    auto* inner = AddContainer(*root, NamedContainer(L"inner"));
    inner->AddObject(new Probe(&deleted));
  }
  EXPECT_EQ(2, deleted);
}

TEST(ContainerSetRect, MovesTheWholeSubtree) {
  auto root = Make<ContainerUIObjectImpl>(nullptr, {10, 10, 110, 60});
  auto* button = Add(*root, Make<ButtonUIObjectImpl>(nullptr, {20, 20, 40, 30}, kButtonStrip));
  auto* inner = AddContainer(*root, NamedContainer(L"inner", {30, 30, 80, 50}));
  auto* box = Add(*inner, Make<CheckBoxUIObjectImpl>(nullptr, {40, 40, 56, 56}, kCheckStrip));
  box->SetCheckRect({40, 40, 56, 56});
  box->SetLabelRect({60, 40, 100, 56});
  auto* progress =
      Add(*inner, Make<ProgressUIObjectImpl>(nullptr, {30, 45, 80, 50}, kProgressBack));
  progress->SetFront({32, 46, 78, 49}, 0, 0);

  root->SetRect(15, 5, 200, 200);
  auto expect = [](RECT expected, RECT actual) {
    EXPECT_EQ(expected.left, actual.left);
    EXPECT_EQ(expected.top, actual.top);
    EXPECT_EQ(expected.right, actual.right);
    EXPECT_EQ(expected.bottom, actual.bottom);
  };
  expect({15, 5, 200, 200}, root->GetRect());
  expect({25, 15, 45, 25}, button->GetRect());
  expect({35, 25, 85, 45}, inner->GetRect());
  expect({45, 35, 61, 51}, box->GetRect());
  expect({45, 35, 61, 51}, box->GetCheckRect());
  expect({65, 35, 105, 51}, box->GetLabelRect());
  expect({35, 40, 85, 45}, progress->GetRect());
  expect({37, 41, 83, 44}, progress->GetFrontRect());
}

// Rows of 20 pixels in a 60-pixel-high vertical container with 3 rows.
TEST(VerticalContainer, StacksVisibleRowsAndWraps) {
  auto list = Make<VerticalContainerUIObjectImpl>(nullptr, {10, 100, 110, 160});
  list->SetRows(3);
  ContainerUIObjectImpl* rows[4];
  for (int i = 0; i < 4; ++i)
    rows[i] = AddContainer(*list, NamedContainer(L"row", {10 + i, 0, 90, 15}));
  Canvas canvas(200, 200);

  canvas.Draw(*list);
  const int tops[] = {100, 120, 140, 100};  // the fourth wraps to the top
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(tops[i], rows[i]->GetRect().top) << i;
    EXPECT_EQ(tops[i] + 15, rows[i]->GetRect().bottom) << i;
    EXPECT_EQ(10 + i, rows[i]->GetRect().left) << i;
  }
  rows[1]->SetVisible(FALSE);
  canvas.Draw(*list);
  EXPECT_EQ(120, rows[2]->GetRect().top);
  EXPECT_EQ(140, rows[3]->GetRect().top);
}

TEST(GridContainer, FillsRowsOrColumns) {
  struct Case {
    BOOL vertical;
    POINT expected[4];  // top-left corners of the four children
  } cases[] = {
      {FALSE, {{0, 0}, {50, 0}, {0, 30}, {50, 30}}},
      {TRUE, {{0, 0}, {0, 30}, {50, 0}, {50, 30}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.vertical);
    auto grid = Make<GridContainerUIObjectImpl>(nullptr, {0, 0, 100, 60});
    grid->SetColumns(2);
    grid->SetRows(2);
    grid->SetVertical(c.vertical);
    EXPECT_EQ(50, grid->GetCellWidth());
    EXPECT_EQ(30, grid->GetCellHeight());
    ContainerUIObjectImpl* cells[4];
    for (auto& cell : cells) cell = AddContainer(*grid, NamedContainer(L"cell", {5, 5, 45, 25}));
    Canvas canvas(100, 60);
    canvas.Draw(*grid);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(c.expected[i].x, cells[i]->GetRect().left) << i;
      EXPECT_EQ(c.expected[i].y, cells[i]->GetRect().top) << i;
      EXPECT_EQ(40, cells[i]->GetRect().right - cells[i]->GetRect().left) << i;
    }
  }
}

// Rows or columns below 1 are outside the layout format; they must not
// divide by zero.
TEST(ArrangedContainers, TakeCountsBelowOneAsOne) {
  auto grid = Make<GridContainerUIObjectImpl>(nullptr, {0, 0, 100, 60});
  grid->SetColumns(0);
  grid->SetRows(-3);
  EXPECT_EQ(100, grid->GetCellWidth());
  EXPECT_EQ(60, grid->GetCellHeight());
  auto list = Make<VerticalContainerUIObjectImpl>(nullptr, {0, 0, 100, 60});
  list->SetRows(0);
  EXPECT_EQ(1, list->GetRows());
  AddContainer(*list, NamedContainer(L"row", {0, 10, 50, 20}));
  Canvas canvas(100, 60);
  canvas.Draw(*list);
  EXPECT_EQ(0, list->GetContainers()[0]->GetRect().top);
}

TEST(LayoutRegistry, OwnsOneTreePerWindow) {
  struct Root : ContainerUIObjectImpl {
    explicit Root(int* deleted) : deleted(deleted) {}
    ~Root() override { ++*deleted; }
    int* deleted;
  };
  HostWindow first;
  HostWindow second;
  int deleted = 0;
  auto* firstRoot = RegisterLayout(first.Get(), std::make_unique<Root>(&deleted));
  auto* secondRoot = RegisterLayout(second.Get(), std::make_unique<Root>(&deleted));
  EXPECT_EQ(firstRoot, FindLayout(first.Get()));
  EXPECT_EQ(secondRoot, FindLayout(second.Get()));

  // Registering again for a window replaces and deletes its old tree.
  auto* replacement = RegisterLayout(first.Get(), std::make_unique<Root>(&deleted));
  EXPECT_EQ(1, deleted);
  EXPECT_EQ(replacement, FindLayout(first.Get()));

  UnloadLayout(first.Get());
  EXPECT_EQ(2, deleted);
  EXPECT_EQ(nullptr, FindLayout(first.Get()));
  EXPECT_EQ(secondRoot, FindLayout(second.Get()));
  UnloadLayout(first.Get());
  EXPECT_EQ(2, deleted);
  UnloadLayout(second.Get());
  EXPECT_EQ(3, deleted);
}

}  // namespace
}  // namespace zrb::test
