// Starting the main window: without arguments, with a picture, a folder or a layer argument,
// the start-up timer's steps, and the settings read at start and written at the end.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/mainwindow/EditorTexts.h"
#include "app/mainwindow/Settings.h"
#include "app/mainwindow/TextHints.h"
#include "app/road/Background.h"
#include "app/tools/ToolsMenus.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/drawing/Graphics.h"
#include "platform/runtime/Files.h"
#include "platform/windows/Application.h"
#include "support/FileDialogAnswers.h"
#include "support/MainWindowFixture.h"
#include "support/Waiting.h"

namespace {

// The controls enabled once there is a picture to edit.
std::vector<plat::TControl*> EditingControls(app::TMainForm& f) {
  return {f.ButtonIncreazeSize, f.ButtonDecreazeSize, f.LoadWatButton,    f.AddLayerClip,
          f.WatermarkTools,     f.WriteTextButton,    f.TextOptionButton, f.PictureToolsButton,
          f.TextList,           f.SaveButton};
}

std::vector<std::string> Items(const plat::TStringList& list) {
  std::vector<std::string> items;
  for (int i = 0; i < list.Count(); ++i) items.push_back(list[i]);
  return items;
}

TEST_F(MainWindow, StartsWithoutArgumentsWithTheViewHiddenUntilTheFirstTick) {
  Start();
  app::TMainForm& f = *form;
  EXPECT_EQ(f.StartupState, 1);
  EXPECT_FALSE(f.ImgView->Visible());
  EXPECT_TRUE(f.Timer1->Enabled());
  EXPECT_FALSE(f.Timer2->Enabled());
  EXPECT_EQ(f.LayerOpacity->Position(), 128);
  EXPECT_EQ(f.PictOpacityGaugeBar->Position(), 255);
  EXPECT_EQ(f.ScaleBar->Position(), 100);
  EXPECT_EQ(f.WindowState(), plat::wsMaximized);
  EXPECT_TRUE(f.KeyPreview());
  EXPECT_EQ(f.Color(), 0x300000);
  EXPECT_EQ(f.ImgView->Color(), 0x300000);
  EXPECT_EQ(f.Caption(), "PixStamp - " + std::string(app::TitleVersion));
  EXPECT_FALSE(f.pnlBitmapLayer->Visible());
  for (plat::TControl* c : EditingControls(f)) EXPECT_FALSE(c->Enabled()) << c->Name();
  for (plat::TControl* c : std::vector<plat::TControl*>{f.LoadButton, f.NewButton, f.Button1,
                                                        f.CopyButton, f.CloseButton, f.WhoIsBut})
    EXPECT_TRUE(c->Enabled()) << c->Name();

  // Folders in the data folder, made at start; the paths start there.
  const std::string backgrounds = home_ + "/data/Backgrounds/";
  const std::string layers = home_ + "/data/Layers/";
  EXPECT_EQ(f.BackgroundFolder, backgrounds);
  EXPECT_EQ(f.LayerFolder, layers);
  EXPECT_TRUE(plat::DirectoryExists(backgrounds));
  EXPECT_TRUE(plat::DirectoryExists(layers));
  EXPECT_EQ(f.BackgroundPath, backgrounds);
  EXPECT_EQ(f.SaveFileName, backgrounds);
  EXPECT_EQ(f.LayerPath, layers);
  EXPECT_EQ(f.OverlayBackgroundFile, backgrounds);
  EXPECT_EQ(f.OverlayFile, layers);
  EXPECT_EQ(f.OpenPictureDialog1->InitialDir(), backgrounds);
  EXPECT_EQ(f.OpenPictureDialog2->InitialDir(), layers);
  EXPECT_EQ(f.SavePictureDialog1->InitialDir(), backgrounds);

  // Without a settings file: the sample entry and the program's name, shown sorted.
  EXPECT_EQ(Items(f.TextItems),
            (std::vector<std::string>{std::string(app::SampleText), "PixStamp"}));
  EXPECT_EQ(Items(*f.TextList->Items()),
            (std::vector<std::string>{std::string(app::SampleText), "PixStamp"}));
  EXPECT_TRUE(f.TextList->Sorted());
  EXPECT_EQ(f.CurrentText, std::string(app::InitialText));
  EXPECT_EQ(f.WriteTextButton->Hint(), app::BuildTextHint(app::InitialText, f));
  EXPECT_EQ(f.TextOptionButton->Hint(), f.WriteTextButton->Hint());

  f.TimerEllapsed(f.Timer1);
  EXPECT_TRUE(f.ImgView->Visible());
  EXPECT_EQ(f.StartupState, 1);
  EXPECT_FALSE(f.Timer1->Enabled());
  EXPECT_NE(f.TextList->Height(), 29);  // a large screen keeps the full layout
}

TEST_F(MainWindow, ASmallScreenGetsTheCompactLayoutOnTheFirstTickOnly) {
  plat::TestHooks().screenSize = plat::TSize{1024, 600};
  Start();
  form->TimerEllapsed(form->Timer1);
  EXPECT_EQ(form->TextList->Height(), 29);
  EXPECT_EQ(form->ClearButton->Top(), 300);
  EXPECT_EQ(form->pnlBitmapLayer->Height(), 334);
  form->TextList->SetHeight(50);
  form->TimerEllapsed(form->Timer1);
  EXPECT_EQ(form->TextList->Height(), 50);
}

TEST_F(MainWindow, APictureOnTheCommandLineEnablesEditingAndLoadsOnTheTimer) {
  const std::string picture = Picture("Photo One.bmp", 40, 30);
  Start({picture});
  app::TMainForm& f = *form;
  EXPECT_EQ(f.StartupState, 4);
  EXPECT_EQ(f.BackgroundPath, picture);
  EXPECT_EQ(f.SaveFileName, picture);
  EXPECT_EQ(f.LayerPath, home_ + "/");
  EXPECT_EQ(f.OpenPictureDialog1->FileName(), picture);
  EXPECT_EQ(f.SavePictureDialog1->FileName(), picture);
  EXPECT_EQ(f.Label1->Caption(), "Scale: 1.00");
  EXPECT_EQ(f.LayerOpacity->Position(), 128);
  EXPECT_TRUE(f.pnlBitmapLayer->Visible());
  for (plat::TControl* c : EditingControls(f)) EXPECT_TRUE(c->Enabled()) << c->Name();
  EXPECT_FALSE(f.ImgView->Visible());

  f.TimerEllapsed(f.Timer1);  // 4 -> 5, soon
  EXPECT_EQ(f.StartupState, 5);
  EXPECT_EQ(f.Timer1->Interval(), 100u);
  EXPECT_TRUE(f.Timer1->Enabled());
  EXPECT_FALSE(f.ImageLoaded);

  f.TimerEllapsed(f.Timer1);  // 5: the picture loads
  EXPECT_EQ(f.StartupState, 100);
  EXPECT_TRUE(f.ImageLoaded);
  EXPECT_TRUE(f.ImgView->Visible());
  EXPECT_EQ(f.ImgView->Bitmap().Width(), 40);
  EXPECT_EQ(f.ImgView->Bitmap().Height(), 30);
  EXPECT_EQ(f.ImgView->Bitmap().Pixel(5, 5), 0xFF336699u);
  app::KeepLoadedPicture(*f.ImgView, f.PristineImage->Bitmap());
  EXPECT_EQ(f.PristineImage->Bitmap().Pixel(39, 29), 0xFF336699u);
  EXPECT_EQ(f.LoadedWidth, 40);
  EXPECT_EQ(f.BackgroundHeight, 30);
  EXPECT_EQ(f.ImgView->ScaleMode(), gfx::smNormal);
  EXPECT_EQ(f.ImgView->Color(), plat::clGray);
  EXPECT_EQ(f.ImgView->Bitmap().ResamplerClassName(), "TDraftResampler");
  EXPECT_EQ(f.PristineImage->Bitmap().ResamplerClassName(), "TLinearResampler");
  EXPECT_NE(f.Caption().find(picture), std::string::npos);
  EXPECT_NE(f.Caption().find("40"), std::string::npos);
}

TEST_F(MainWindow, AFolderOnTheCommandLineOnlySetsWhereTheOpenDialogStarts) {
  Start({home_});
  app::TMainForm& f = *form;
  EXPECT_EQ(f.StartupState, 1);
  EXPECT_EQ(f.BackgroundPath, home_ + "/");
  EXPECT_EQ(f.OpenPictureDialog1->InitialDir(), home_ + "/");
  EXPECT_EQ(f.OpenPictureDialog1->FileName(), "");
  EXPECT_FALSE(f.pnlBitmapLayer->Visible());
  for (plat::TControl* c : EditingControls(f)) EXPECT_FALSE(c->Enabled()) << c->Name();
  f.TimerEllapsed(f.Timer1);
  EXPECT_FALSE(f.ImageLoaded);
  EXPECT_TRUE(f.ImgView->Visible());
}

TEST_F(MainWindow, TheSecondArgumentAndTheLayerWordSetTheLayerPath) {
  const std::string picture = Picture("bg.bmp", 8, 8);
  Start({picture, "Logo.PNG"});
  EXPECT_EQ(form->LayerPath, home_ + "/Logo.PNG");
  form.reset();

  // The layer dialog starts in the second argument's folder; no layer is added.
  std::filesystem::create_directories(home_ + "/logos");
  Start({picture, home_ + "/logos"});
  form->TimerEllapsed(form->Timer1);
  form->TimerEllapsed(form->Timer1);
  ASSERT_TRUE(form->ImageLoaded);
  EXPECT_EQ(form->ImgView->Layers().Count(), 0);
  std::string offered;
  plat::TestHooks().fileDialog = [&offered](plat::TFileDialogRequest& r) {
    offered = r.initialDir;
    return false;
  };
  form->mnWaterMarkSelectClick(nullptr);
  EXPECT_EQ(offered, home_ + "/logos/");
  form.reset();

  Start({picture, "default"});
  EXPECT_EQ(form->LayerPath, home_ + "/");  // no default layer picture yet
  const std::string defaultLayer = form->DefaultLayerFolder + std::string(app::DefaultLayerPicture);
  std::ofstream(defaultLayer) << "x";
  form.reset();

  Start({picture, "DEFAULT"});
  EXPECT_EQ(form->LayerPath, defaultLayer);
}

TEST_F(MainWindow, AFailedLoadKeepsThePictureShownAndStillMovesTheStartUp) {
  Start({Picture("good.bmp", 12, 10)});
  form->TimerEllapsed(form->Timer1);
  form->TimerEllapsed(form->Timer1);
  ASSERT_TRUE(form->ImageLoaded);
  form->StartupState = 1;

  form->ImgView->Layers().Add<gfx::TBitmapLayer>();

  const std::string broken = home_ + "/broken.bmp";
  std::ofstream(broken) << "BM this is not a picture";
  EXPECT_ANY_THROW(form->LoadBackground(broken));
  EXPECT_EQ(form->ImgView->Layers().Count(), 1);
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 12);
  EXPECT_EQ(form->LoadedWidth, 12);
  EXPECT_EQ(form->Caption().find(broken), std::string::npos);
  EXPECT_EQ(form->StartupState, 2);
  EXPECT_TRUE(form->Timer1->Enabled());

  // 2 -> 3 a second later -> done.
  form->TimerEllapsed(form->Timer1);
  EXPECT_EQ(form->StartupState, 3);
  EXPECT_EQ(form->Timer1->Interval(), 1000u);
  form->TimerEllapsed(form->Timer1);
  EXPECT_EQ(form->StartupState, 100);
  EXPECT_FALSE(form->Timer1->Enabled());
}

TEST_F(MainWindow, ReadsTheSettingsAtStartAndWritesThemAtTheEnd) {
  app::TSettingsValues saved;
  saved.FontName = "Liberation Mono";
  saved.TextBold = true;
  saved.CurrentText = "Draft";
  saved.BackgroundFolder = "/pictures/";
  ASSERT_TRUE(app::WriteSettingsFile(app::SettingsFileName(), saved, {"zeta", "Alpha"}));

  Start();
  app::TMainForm& f = *form;
  EXPECT_EQ(f.FontName, "Liberation Mono");
  EXPECT_TRUE(f.TextBold);
  EXPECT_EQ(f.CurrentText, "Draft");
  EXPECT_EQ(f.OpenPictureDialog1->InitialDir(), "/pictures/");
  // Read texts, without the program's name, sorted case-insensitively in the list.
  EXPECT_EQ(Items(f.TextItems),
            (std::vector<std::string>{std::string(app::SampleText), "zeta", "Alpha"}));
  EXPECT_EQ(Items(*f.TextList->Items()),
            (std::vector<std::string>{std::string(app::SampleText), "Alpha", "zeta"}));
  EXPECT_NE(f.WriteTextButton->Hint().find("Liberation Mono"), std::string::npos);

  // Closing writes the file: folders from the last paths, the texts in their own order.
  f.BackgroundPath = home_ + "/shots/last.jpg";
  f.LayerPath = home_ + "/logos/mark.png";
  f.TextItems.Add("new text");
  f.ColorWorkFile = home_ + "/work.jpg";
  std::ofstream(f.ColorWorkFile) << "x";
  form.reset();
  EXPECT_FALSE(plat::FileExists(home_ + "/work.jpg"));
  app::TSettingsValues read;
  std::vector<std::string> texts;
  ASSERT_TRUE(app::ReadSettingsFile(app::SettingsFileName(), read, texts).TextRead);
  EXPECT_EQ(read.BackgroundFolder, home_ + "/shots/");
  EXPECT_EQ(read.LayerFolder, home_ + "/logos/");
  EXPECT_EQ(texts, (std::vector<std::string>{"zeta", "Alpha", "new text"}));
}

TEST_F(MainWindow, RememberedFoldersComeBackAsTheyWere) {
  // Any byte a folder's name may hold but a line break, which the file keeps as a blank.
  std::string deep = "/srv";
  while (deep.size() < 4000) deep += "/" + std::string(200, 'd');
  const std::vector<std::string> folders = {
      "/srv/a=b/",
      "/srv/  blanks at both ends  /",
      "/srv/\ttab/",
      "/srv/\xC3\xBCn\xC3\xAF \xE5\xAD\x97 \xF0\x9F\x98\x80/",
      "/srv/\xFF\xFE not UTF-8/",
      "/srv/%41 \\ back/",
      "/srv/SavedText=FontName=x/",
      deep + "/",
  };
  for (const std::string& folder : folders) {
    SCOPED_TRACE(folder);
    Start();
    form->BackgroundPath = folder + "picture.jpg";
    form->LayerPath = folder + "layer.png";
    form.reset();  // closing saves
    Start();
    EXPECT_TRUE(form->BackgroundFolder == folder);
    EXPECT_TRUE(form->LayerFolder == folder);
    EXPECT_TRUE(form->OpenPictureDialog1->InitialDir() == folder);
    EXPECT_TRUE(form->OpenPictureDialog2->InitialDir() == folder);
    form.reset();
  }
}

TEST_F(MainWindow, ASettingsFileThatCouldNotBeReadIsLeftAsItIsAndSaidSo) {
  // Too large to read, with a text the user keeps in it.
  const std::string file = app::SettingsFileName();
  plat::ForceDirectories(plat::ExtractFileDir(file));
  std::ofstream(file) << "SavedText=the user's own\n";
  const auto size = std::uintmax_t(app::MaxSettingsFileSize) + 1;
  std::filesystem::resize_file(file, size);
  NoteMessages();
  Start();
  EXPECT_EQ(form->FontName, std::string(app::DefaultFontName));
  form->SavePath();
  form.reset();  // closing saves again
  EXPECT_EQ(std::filesystem::file_size(file), size);
  std::ifstream in(file);
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first, "SavedText=the user's own");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], std::string(app::SettingsKeptText) + file);
}

TEST_F(MainWindow, TheAboutPageLinksTheLayerFolderOnlyWhenItsMarkerIsThere) {
  Start();
  EXPECT_EQ(form->AboutFragment1, "");
  EXPECT_EQ(form->AboutFragment2, "<p>" + std::string(app::AboutLinkText) + "</p>\r\n");
  EXPECT_FALSE(form->PristineImage->HasParent());
  form.reset();

  // A home whose name needs escaping inside a link.
  const std::string home = home_ + "/my \"home\"";
  setenv("PIXSTAMP_HOME", home.c_str(), 1);
  ASSERT_TRUE(plat::ForceDirectories(home + "/data/Layers"));
  std::ofstream(home + "/data/Layers/" + std::string(app::AboutLayerMarker)) << "x";
  Start();
  EXPECT_EQ(form->AboutFragment1, "<p><a href=\"file://" + home_ +
                                      "/my%20%22home%22/data/Layers/\">" +
                                      std::string(app::AboutLayerLinkText) + "</a></p>\r\n");
}

TEST_F(MainWindow, EveryControlOfTheLayoutReachesItsField) {
  Start();
  app::TMainForm& f = *form;
  const std::vector<plat::TComponent*> fields = {f.ImgView,
                                                 f.SidePanel,
                                                 f.pnlImage,
                                                 f.Label4,
                                                 f.PictOpacityGaugeBar,
                                                 f.Label1,
                                                 f.ButtonIncreazeSize,
                                                 f.ButtonDecreazeSize,
                                                 f.ScaleBar,
                                                 f.Button1,
                                                 f.NewButton,
                                                 f.LoadButton,
                                                 f.PictureToolsButton,
                                                 f.CopyButton,
                                                 f.SaveButton,
                                                 f.ScaleCombo,
                                                 f.ImageInterpolate,
                                                 f.cbOptRedraw,
                                                 f.PictButtonFlipHoriz,
                                                 f.PictButtonFlipVerti,
                                                 f.pnlBitmapLayer,
                                                 f.Label2,
                                                 f.LayerOpacity,
                                                 f.WMLabel,
                                                 f.ButtonIncreazeSizeLayer,
                                                 f.ButtonDecreazeSizeLayer,
                                                 f.WMScale,
                                                 f.LoadWatButton,
                                                 f.AddLayerClip,
                                                 f.WatermarkTools,
                                                 f.WriteTextButton,
                                                 f.FrameToolsButton,
                                                 f.TextOptionButton,
                                                 f.Label3,
                                                 f.TextList,
                                                 f.ClearButton,
                                                 f.LayerInterpolate,
                                                 f.Panel1,
                                                 f.CloseButton,
                                                 f.WhoIsBut,
                                                 f.OpenPictureDialog1,
                                                 f.OpenPictureDialog2,
                                                 f.SavePictureDialog1,
                                                 f.Timer1,
                                                 f.Timer2};
  for (size_t i = 0; i < fields.size(); ++i) EXPECT_NE(fields[i], nullptr) << "field " << i;
  EXPECT_EQ(f.ClientWidth(), 1006);
  EXPECT_EQ(f.ScaleBar->Min(), 10);
  EXPECT_EQ(f.ScaleBar->Max(), 1000);
  EXPECT_EQ(f.WMScale->Max(), 500);
  EXPECT_EQ(f.WMScale->Position(), 100);
  EXPECT_EQ(f.ImgView->BitmapAlign(), gfx::baCustom);
  EXPECT_EQ(f.ImgView->RepaintMode(), gfx::rmOptimizer);
  EXPECT_EQ(f.ImgView->ScrollBarVisibility(), gfx::svAuto);
  EXPECT_EQ(f.Timer2->Interval(), 500u);
  EXPECT_TRUE(f.LayerInterpolate->Checked());
  EXPECT_FALSE(f.ScaleCombo->Visible() || f.ScaleCombo->Enabled());
  EXPECT_EQ(f.SavePictureDialog1->Title(), "Save As:");
  EXPECT_EQ(f.PictureToolsButton->Hint(), "Picture Tools (Key : q) ");
  EXPECT_EQ(f.FrameToolsButton->Hint(), "Layer Tools (Key : x) ");
  EXPECT_EQ(f.WhoIsBut->Hint(), std::string(app::AboutHint));
  // The label over the text list shows its whole caption inside its panel.
  plat::DeviceContext measure;
  plat::TCanvas canvas(&measure);
  canvas.SetFont(*f.Label3->Font());
  EXPECT_EQ(f.Label3->Width(), canvas.TextExtent("List of texts to add").cx);
  EXPECT_LE(f.Label3->Left() + f.Label3->Width(), f.pnlBitmapLayer->ClientWidth());

  // The handlers reach the controls through the layout.
  ASSERT_TRUE(f.Timer1->OnTimer);
  f.Timer1->OnTimer(f.Timer1);
  EXPECT_TRUE(f.ImgView->Visible());
  ASSERT_TRUE(f.TextList->OnMouseMove);
  f.TextList->OnMouseMove(f.TextList, 0, 2, 2);
  EXPECT_TRUE(f.TextList->ShowHint());
  f.ButtonDecreazeSize->Click();
  EXPECT_EQ(f.ScaleBar->Position(), 95);
  f.ButtonIncreazeSizeLayer->Click();
  EXPECT_EQ(f.WMScale->Position(), 105);
}

TEST_F(MainWindow, TheRunningTimerLoadsTheCommandLinePicture) {
  Start({Picture("timed.bmp", 9, 7)});
  // Ticks come from the message loop. The last tick only stops the timer.
  test_support::WaitUntil("the start-up to finish",
                          [&] { return form->StartupState == 100 && !form->Timer1->Enabled(); });
  EXPECT_EQ(form->StartupState, 100);
  EXPECT_TRUE(form->ImageLoaded);
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 9);
  EXPECT_FALSE(form->Timer1->Enabled());
}

// The side panel reads the same whether the picture came from the command line or from the Load
// button: the picture opacity with its value, the layer opacity still without one.
TEST_F(MainWindow, ACommandLineStartShowsTheOpacityLabelsAsAnOpenedPicture) {
  const std::string picture = Picture("labels.bmp", 12, 8);
  const auto labels = [this] {
    return std::vector<std::string>{form->Label4->Caption(), form->Label2->Caption()};
  };
  const std::vector<std::string> expected{"Opacity: 255", "Opacity:"};

  Start({picture});
  form->Show();
  ASSERT_TRUE(
      test_support::WaitUntil("the start-up to finish", [&] { return form->StartupState == 100; }));
  EXPECT_EQ(labels(), expected);

  form.reset();
  test_support::AnswerFileDialogs(picture);
  Start();
  form->Show();
  plat::TControl& load = *form->LoadButton;
  plat::SimulateMouse(load, plat::TMouseAction::Press, plat::mbLeft, {4, 4});
  plat::SimulateMouse(load, plat::TMouseAction::Release, plat::mbLeft, {4, 4});
  plat::Application().ProcessMessages();
  ASSERT_TRUE(form->ImageLoaded);
  EXPECT_EQ(labels(), expected);
}

// A command-line picture that does not read is reported, and the window is then as after a
// start without one: the view shows, nothing to edit is enabled.
TEST_F(MainWindow, ACommandLinePictureThatFailsStartsAsWithoutOne) {
  const std::string broken = home_ + "/broken.png";
  std::ofstream(broken) << "not a picture";
  std::vector<std::string> shown;
  plat::TestHooks().messageBox = [&shown](const std::string& text, const std::string&, uint32_t) {
    shown.push_back(text);
    return plat::IDOK;
  };
  Start({broken});
  form->Show();
  test_support::WaitUntil("the start-up to finish",
                          [&] { return form->StartupState == 100 && !form->Timer1->Enabled(); });
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_EQ(form->StartupState, 100);
  EXPECT_FALSE(form->ImageLoaded);
  EXPECT_TRUE(form->ImgView->Visible());
  EXPECT_FALSE(form->pnlBitmapLayer->Visible());
  for (plat::TControl* c : EditingControls(*form)) EXPECT_FALSE(c->Enabled()) << c->Name();
  EXPECT_TRUE(form->LoadButton->Enabled());
}

TEST_F(MainWindow, APictureLargerThanTheViewIsFittedAndEveryLoadDropsTheLayers) {
  Start();
  form->TimerEllapsed(form->Timer1);  // shows the view
  const int viewWidth = form->ImgView->Width();
  ASSERT_GT(viewWidth, 100);
  form->ImgView->Layers().Add<gfx::TBitmapLayer>();
  form->ScaleBar->SetPosition(300);
  form->PictOpacityGaugeBar->SetPosition(20);
  form->LoadBackground(Picture("wide.bmp", viewWidth + 1, 10));
  EXPECT_EQ(form->ImgView->ScaleMode(), gfx::smResize);
  EXPECT_EQ(form->ImgView->Layers().Count(), 0);
  EXPECT_EQ(form->ScaleBar->Position(), 100);
  EXPECT_EQ(form->PictOpacityGaugeBar->Position(), 255);
  EXPECT_EQ(form->Label4->Caption(), "Opacity: 255");
  EXPECT_TRUE(form->ScaleBar->Enabled());
  EXPECT_TRUE(form->PictOpacityGaugeBar->Enabled());

  // The view's own width, now that it shows.
  form->LoadBackground(Picture("fits.bmp", form->ImgView->Width(), 10));
  EXPECT_EQ(form->ImgView->ScaleMode(), gfx::smNormal);
  EXPECT_FLOAT_EQ(form->ImgView->Scale(), 1.0f);
}

// Both timers as the message loop runs them. The start-up timer shows the view, and after a
// picture is opened steps 2, 3 (a second later) and 100, then stops. A right click on a layer
// queues its tools for the action timer; "Erase" chosen there erases the layer in the same tick,
// and the timer, queued again by that choice, fires once more with nothing to do. Esc then asks
// about the changed picture.
TEST_F(MainWindow, BothTimersRunFromTheMessageLoop) {
  std::string answer;
  test_support::AnswerFileDialogs(answer);
  std::vector<std::string> shown;
  plat::TestHooks().modal = [&](plat::TCustomForm& f) {
    shown.push_back(f.ClassName());
    if (auto* menu = dynamic_cast<app::TToolsMenuForm*>(&f))
      menu->FunctionRadioGroup->SetItemIndex(app::ffErase);
    return plat::mrCancel;
  };
  int questions = 0;
  plat::TestHooks().messageBox = [&](const std::string&, const std::string&, uint32_t) {
    ++questions;
    return plat::IDNO;
  };
  Start();
  form->Show();
  ASSERT_TRUE(test_support::WaitUntil("the picture view to show",
                                      [&] { return form->ImgView->Visible(); }));
  EXPECT_EQ(form->StartupState, 1);
  EXPECT_FALSE(form->Timer1->Enabled());

  answer = Picture("bg.bmp", 200, 150);
  form->LoadButton->Click();
  std::vector<int> states{form->StartupState};
  ASSERT_TRUE(test_support::WaitUntil("the start-up after Load to finish", [&] {
    if (form->StartupState != states.back()) states.push_back(form->StartupState);
    return form->StartupState == 100 && !form->Timer1->Enabled();
  }));
  EXPECT_EQ(states, (std::vector<int>{2, 3, 100}));
  EXPECT_EQ(form->Timer1->Interval(), 1000u);

  answer = Picture("layer.bmp", 40, 30);
  form->LoadWatButton->Click();
  ASSERT_EQ(form->ImgView->Layers().Count(), 2);  // the layer and its frame
  const plat::TPoint onLayer = form->ImgView->BitmapToControl({20, 15});
  form->SelectLayer(nullptr);
  int ticks = 0, erasedInTick = 0;
  const plat::TNotifyEvent tick = form->Timer2->OnTimer;
  form->Timer2->OnTimer = [&](plat::TObject* sender) {
    ++ticks;
    tick(sender);
    if (!erasedInTick && form->ImgView->Layers().Count() == 1) erasedInTick = ticks;
  };
  plat::SimulateMouse(*form->ImgView, plat::TMouseAction::Press, plat::mbRight, onLayer);
  plat::SimulateMouse(*form->ImgView, plat::TMouseAction::Release, plat::mbRight, onLayer);
  EXPECT_EQ(form->ToolAction, 1);
  EXPECT_TRUE(shown.empty());  // the tools wait for the timer
  ASSERT_TRUE(test_support::WaitUntil("two ticks of the second timer, then its end",
                                      [&] { return ticks == 2 && !form->Timer2->Enabled(); }));
  EXPECT_EQ(shown, std::vector<std::string>{"TColorFunctionsForm"});
  EXPECT_EQ(erasedInTick, 1);
  EXPECT_EQ(form->ToolAction, 0);

  plat::PressKey(*form, plat::VK_ESCAPE);
  EXPECT_EQ(questions, 1);
  EXPECT_FALSE(form->Visible());
}

// An argument as long as one may be (128 KiB) names no file that can be opened: the start reports
// it in a box that fits the screen, naming what failed and why, and goes on as without a picture.
TEST_F(MainWindow, AnArgumentOfExtremeLengthIsReportedInABoxThatFits) {
  std::string path = "/tmp/";
  while (path.size() < 131000) path += "d\xC3\xA9/";  // "dé/", two bytes a letter
  path += "x.jpg";
  std::vector<std::string> shown;
  plat::TestHooks().messageBox = [&shown](const std::string& text, const std::string&, uint32_t) {
    shown.push_back(text);
    return plat::IDOK;
  };
  Start({path, "DEFAULT"});
  ASSERT_TRUE(test_support::WaitUntil("the start-up to finish", [&] {
    return form->StartupState == 100 && !form->Timer1->Enabled();
  }));
  ASSERT_EQ(shown.size(), 1u);
  const std::string& text = shown[0];
  EXPECT_LT(text.size(), 1300u);
  EXPECT_EQ(text.rfind("Cannot open file \"/tmp/d\xC3\xA9/", 0), 0u) << text;
  EXPECT_NE(text.find("x.jpg\"."), std::string::npos);
  EXPECT_NE(text.find("\xE2\x80\xA6"), std::string::npos);  // where the middle was left out
  // Whole characters only: no lead byte without its follower.
  for (size_t i = 0; i < text.size(); ++i)
    if (static_cast<unsigned char>(text[i]) == 0xC3) EXPECT_EQ(text[i + 1], '\xA9');
  EXPECT_FALSE(form->ImageLoaded);
  EXPECT_FALSE(form->SaveButton->Enabled());
}

}  // namespace
