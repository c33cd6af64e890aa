// Memos, labels, hint windows, scroll bars and images: sizes and contents.
#include <gtest/gtest.h>

#include <optional>

#include "platform/pictures/Bitmap.h"
#include "platform/windows/Application.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/FormReader.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"
#include "platform/windows/TestSeams.h"

namespace plat {
namespace {

TEST(TextControls, MemoLinesAndTextStayInStep) {
  TForm form(nullptr);
  auto* memo = form.Make<TMemo>();
  memo->SetParent(&form);
  memo->Lines()->Add("first");
  memo->Lines()->Add("second");
  EXPECT_EQ(memo->Text(), "first\nsecond\n");
  memo->SetText("one\r\ntwo\nthree");
  ASSERT_EQ(memo->Lines()->Count(), 3);
  EXPECT_EQ(memo->Lines()->Strings(2), "three");
}

TEST(TextControls, MemoWrappedLinesKeepEveryCharacter) {
  TForm form(nullptr);
  auto* memo = form.Make<TMemo>();
  memo->SetParent(&form);
  memo->SetBounds(0, 0, 90, 120);
  form.Show();
  const std::string line = "one two three four five six seven eight nine ten";
  memo->SetText(line + "\nshort");
  std::vector<std::string> wrapped = memo->WrappedLines();
  ASSERT_GT(wrapped.size(), 3u);
  EXPECT_EQ(wrapped.back(), "short");
  std::string joined;
  for (size_t i = 0; i + 1 < wrapped.size(); ++i) joined += wrapped[i];
  EXPECT_EQ(joined, line);
  memo->SetWordWrap(false);
  EXPECT_EQ(memo->WrappedLines(), (std::vector<std::string>{line, "short"}));
}

TEST(TextControls, AMemoHoldsItsTextExactlyTheLastLineEndToo) {
  TForm form(nullptr);
  auto* memo = form.Make<TMemo>();
  memo->SetParent(&form);
  form.Show();
  memo->SetText("abc\r\n");
  EXPECT_EQ(memo->WindowText(), "abc\n");
  EXPECT_EQ(MemoShownLines(*memo), (std::vector<std::string>{"abc", ""}));
  memo->SetText("");
  memo->SetFocus();
  SimulateKey(*memo, 'A', "a");
  SimulateKey(*memo, VK_RETURN, "\r");
  EXPECT_EQ(memo->WindowText(), "a\n");
  EXPECT_EQ(memo->Lines()->Count(), 1);
  // Lines added by the program end the text without a line end after the last.
  memo->Lines()->Add("b");
  EXPECT_EQ(memo->WindowText(), "a\nb");
  EXPECT_EQ(MemoShownLines(*memo), (std::vector<std::string>{"a", "b"}));
}

TEST(TextControls, MemoWrappedLinesAreTheLinesItShows) {
  TForm form(nullptr);
  auto* memo = form.Make<TMemo>();
  memo->SetParent(&form);
  memo->SetBounds(0, 0, 90, 120);
  form.Show();
  memo->SetText(std::string(40, 'x') + " a few short words, then " + std::string(25, 'y') +
                "\n\nlast\n");
  Application().ProcessMessages();  // the memo settles on its scroll bar
  const std::vector<std::string> wrapped = memo->WrappedLines();
  EXPECT_GT(wrapped.size(), 8u);
  EXPECT_EQ(wrapped, MemoShownLines(*memo));
}

// The pixels of the memo as PaintTo draws them.
std::vector<TColor> Drawn(TWinControl& control) {
  TBitmap paper;
  paper.SetSize(control.Width(), control.Height());
  control.PaintTo(paper.Canvas(), 0, 0);
  std::vector<TColor> pixels;
  for (int y = 0; y < control.Height(); ++y)
    for (int x = 0; x < control.Width(); ++x) pixels.push_back(paper.Canvas().Pixel(x, y));
  return pixels;
}

TEST(TextControls, AMemoGivenTextWhileHiddenDrawsAndEditsItOnceShown) {
  TForm form(nullptr);
  auto* memo = form.Make<TMemo>();
  memo->SetParent(&form);
  const std::vector<TColor> empty = Drawn(*memo);
  memo->SetText("ab\ncd");
  memo->SetSelStart(4);
  EXPECT_NE(Drawn(*memo), empty);
  // The cursor given before the memo showed is where typing goes.
  form.Show();
  Application().ProcessMessages();
  memo->SetFocus();
  SimulateKey(*memo, 'X', "X");
  EXPECT_EQ(memo->Text(), "ab\ncXd\n");
}

TEST(TextControls, APasswordEditShowsItsCharacterForEveryLetter) {
  TForm form(nullptr);
  auto* password = form.Make<TEdit>();
  password->SetParent(&form);
  password->SetPasswordChar('*');
  password->SetText("secret");
  auto* stars = form.Make<TEdit>();
  stars->SetParent(&form);
  stars->SetText("******");
  EXPECT_EQ(Drawn(*password), Drawn(*stars));
  EXPECT_EQ(password->Text(), "secret");
}

TEST(TextControls, ListClientHeightsLeaveRoomForTheFrame) {
  TForm form(nullptr);
  auto* list = form.Make<TListBox>();
  list->SetParent(&form);
  for (const char* s : {"one", "two", "three", "four"}) list->Items()->Add(s);
  int h = list->ItemHeight();
  list->SetClientHeight(3 * h);
  EXPECT_EQ(list->ClientHeight(), 3 * h);
  int frame = (list->Height() - 3 * h) / 2;
  EXPECT_GT(frame, 0);
  EXPECT_EQ(list->Width() - list->ClientWidth(), 2 * frame);
  form.Show();
  Application().ProcessMessages();
  // Three whole rows show in client coordinates; the fourth is below the client area.
  EXPECT_EQ(list->ItemAtPos({5, 2 * h + h / 2}, true), 2);
  EXPECT_EQ(list->ItemAtPos({5, 3 * h + 1}, true), -1);
  EXPECT_EQ(list->ItemAtPos({5, 3 * h + 1}, false), -1);
}

TEST(TextControls, LabelsSizeThemselvesToTheirTextWithoutTheMnemonic) {
  TForm form(nullptr);
  auto* label = form.Make<TLabel>();
  label->SetParent(&form);
  label->SetCaption("&Open && save");
  DeviceContext measure;
  TCanvas canvas(&measure);
  canvas.SetFont(*label->Font());
  TSize text = canvas.TextExtent("Open & save");
  EXPECT_EQ(label->Width(), text.cx);
  EXPECT_EQ(label->Height(), text.cy);
  label->SetAutoSize(false);
  label->SetCaption("A much longer caption than before");
  EXPECT_EQ(label->Width(), text.cx);
}

// A layout sets the caption and the font while it loads; the label takes their size once read.
TEST(TextControls, LabelsReadFromALayoutTakeTheSizeOfTheirText) {
  TForm form(nullptr);
  ReadLayoutText(form, R"(
TForm Labels {
  Font.Name = "DejaVu Sans"
  Font.Size = 8
  TLabel Grows {
    Left = 8
    Caption = "List of texts to add"
  }
  TLabel Fixed {
    Width = 40
    AutoSize = False
    Caption = "A caption wider than forty pixels"
  }
})",
                 "labels.form", TFormBindings());
  auto* grows = static_cast<TLabel*>(form.FindComponent("Grows"));
  DeviceContext measure;
  TCanvas canvas(&measure);
  canvas.SetFont(*grows->Font());
  EXPECT_EQ(grows->Font()->Size(), 8);
  EXPECT_EQ(grows->Width(), canvas.TextExtent("List of texts to add").cx);
  EXPECT_EQ(grows->Left(), 8);
  EXPECT_EQ(static_cast<TLabel*>(form.FindComponent("Fixed"))->Width(), 40);
}

TEST(TextControls, HintRectanglesWrapAtTheWidthAsked) {
  THintWindow hint(nullptr);
  TRect one = hint.CalcHintRect(300, "Short hint");
  TRect many = hint.CalcHintRect(
      120, "A hint long enough that a narrow window has to break it over several lines");
  EXPECT_EQ(one.Left, 0);
  EXPECT_LE(many.Width(), 120 + 6);
  EXPECT_GE(many.Height(), 3 * (one.Height() - 2));
  hint.ActivateHint(one.Offset(50, 60), "Short hint");
  EXPECT_TRUE(hint.Visible());
  EXPECT_EQ(hint.BoundsRect(), one.Offset(50, 60));
  hint.ReleaseHandle();
  EXPECT_FALSE(hint.Visible());
}

// A shown window with a button whose hint shows.
struct HintedButton {
  explicit HintedButton(const std::string& hint) {
    form.SetBounds(0, 0, 200, 100);
    button = form.Make<TButton>();
    button->SetParent(&form);
    button->SetBounds(10, 10, 80, 30);
    button->SetHint(hint);
    button->SetShowHint(true);
    form.Show();
    Application().ProcessMessages();
  }
  TForm form{nullptr};
  TButton* button = nullptr;
};

// A control's hint shows as typed when the pointer rests on it: runs of blanks, each line's
// indent, empty lines and characters that look like markup.
TEST(TextControls, HintsShowTheirTextAsTyped) {
  const std::string hint = "\n  Title  \n\n  A    B  \n\t<b>bold?</b> &amp; \"x\"\nlast\n\n";
  HintedButton shown(hint);
  TButton* button = shown.button;
  EXPECT_EQ(HintShownAt(*button, {40, 15}), hint);
  button->SetShowHint(false);
  EXPECT_EQ(HintShownAt(*button, {40, 15}), "");
}

// A hint longer than the screen is wide wraps onto more lines at its blanks and shows whole,
// its indent kept.
TEST(TextControls, ALongHintWrapsInsideTheScreen) {
  std::string line = "  ";
  while (line.size() < 320) line += "watermark text  ";
  const std::string hint = "\n  Title  \n\n" + line + "\n  last  \n";
  HintedButton hinted(hint);
  TButton* button = hinted.button;
  EXPECT_EQ(HintShownAt(*button, {40, 15}), hint);
  const std::optional<THintWindowShown> shown = HintWindowShown();
  ASSERT_TRUE(shown);
  EXPECT_TRUE(shown->holdsText);
  EXPECT_GE(shown->bounds.Left, 0);
  EXPECT_LE(shown->bounds.Right, Screen().Width());
  // A short hint stays on one line.
  button->SetHint("short");
  EXPECT_EQ(HintShownAt(*button, {40, 15}), "short");
  ASSERT_TRUE(HintWindowShown());
  EXPECT_LT(HintWindowShown()->bounds.Height(), shown->bounds.Height() / 3);
}

TEST(TextControls, ScrollBarArrowsScrollByOneLine) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 100);
  auto* bar = form.Make<TScrollBar>();
  bar->SetParent(&form);
  bar->SetBounds(0, 0, 200, 17);
  bar->SetParams(5, 0, 100);
  std::vector<std::pair<TScrollCode, int>> scrolls;
  bar->OnScroll = [&](TObject*, TScrollCode code, int& pos) { scrolls.push_back({code, pos}); };
  int changes = 0;
  bar->OnChange = [&](TObject*) { ++changes; };
  form.Show();
  Application().ProcessMessages();
  SimulateMouse(*bar, TMouseAction::Press, mbLeft, {195, 8});
  SimulateMouse(*bar, TMouseAction::Release, mbLeft, {195, 8});
  ASSERT_FALSE(scrolls.empty());
  EXPECT_EQ(scrolls[0], std::make_pair(scLineDown, 6));
  EXPECT_EQ(bar->Position(), 6);
  EXPECT_EQ(changes, 1);
}

TEST(TextControls, ImagesPlaceTheirPictureByStretchProportionAndCentre) {
  TImage image(nullptr);
  image.SetBounds(0, 0, 100, 100);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(200, 100);
  image.Picture()->SetGraphic(std::move(bitmap));
  EXPECT_EQ(image.DestRect(), (TRect{0, 0, 200, 100}));
  image.SetProportional(true);
  EXPECT_EQ(image.DestRect(), (TRect{0, 0, 100, 50}));
  image.SetCenter(true);
  EXPECT_EQ(image.DestRect(), (TRect{0, 25, 100, 75}));
  image.SetProportional(false);
  image.SetStretch(true);
  EXPECT_EQ(image.DestRect(), (TRect{0, 0, 100, 100}));
}

}  // namespace
}  // namespace plat
