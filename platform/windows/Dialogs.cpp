#include "platform/windows/Dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <iostream>
#include <memory>
#include <string_view>
#include <utility>

#include "platform/pictures/Picture.h"
#include "platform/pictures/PicturePreview.h"
#include "platform/runtime/Files.h"
#include "platform/windows/QtConversions.h"
#include "platform/windows/QtRuntime.h"
#include "platform/windows/TestSeams.h"

namespace plat {
namespace {

constexpr const char* ReplaceCaption = "Confirm Save As";
// Follows the file name.
constexpr std::string_view ReplaceQuestionText = " already exists.\nDo you want to replace it?";

bool askingStopped = false;

// Nobody can answer a dialog under the offscreen platform (unless a test shows it there), nor
// once the run was ended from outside: it must not wait.
bool NobodyToAsk(bool shownInTests = false) {
  if (askingStopped) return true;
  if (shownInTests) return false;
  EnsureQtApplication();
  return QGuiApplication::platformName() == QLatin1String("offscreen");
}

// What a box nobody answered says: OK for a box that only informs, otherwise neither yes nor no.
int Unanswered(uint32_t buttons) {
  return buttons == MB_OK ? IDOK : IDCANCEL;
}

QString Lines(const std::string& text) {
  // Texts written with CR LF become plain line feeds.
  QString s = ToQString(text);
  s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  return s;
}

QWidget* DialogParent() {
  return QApplication::activeWindow();
}

constexpr int kPreviewSide = 160;

std::unique_ptr<TBitmap> Preview(const std::string& fileName) {
  return PicturePreview(fileName, kPreviewSide, kPreviewSide);
}

QPixmap PreviewPixmap(const QString& path) {
  // Large pictures take a while to load.
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const std::unique_ptr<TBitmap> preview = Preview(FromQString(path));
  QApplication::restoreOverrideCursor();
  if (!preview) return QPixmap();
  // A copy: a pixmap may share an image's memory, and the preview's goes with it.
  return QPixmap::fromImage(QImage(preview->ScanLine(0), preview->Width(), preview->Height(),
                                   qsizetype(preview->RowStride()), QImage::Format_ARGB32)
                                .copy());
}

// The name a save dialog returns, so its replace question is about the file that gets written.
std::string WithDefaultExt(const std::string& name, const std::string& defaultExt) {
  return defaultExt.empty() ? name : ForceFileExt(name, "." + defaultExt);
}

bool MayReplace(const std::string& name) {
  if (!FileExists(name)) return true;
  const std::string question = name + std::string(ReplaceQuestionText);
  return ShowMessageBox(question, ReplaceCaption, MB_YESNO | MB_ICONWARNING) == IDYES;
}

// Qt would ask about the name as typed; this one asks about the name returned, and a No keeps
// the dialog open as Qt's own question does.
class TReplaceAskingDialog : public QFileDialog {
 public:
  TReplaceAskingDialog(QWidget* parent, const QString& caption, const QString& folder,
                       const QString& filter, std::string defaultExt, bool prompt)
      : QFileDialog(parent, caption, folder, filter),
        defaultExt_(std::move(defaultExt)),
        prompt_(prompt) {
    setOption(QFileDialog::DontConfirmOverwrite, true);
  }
  void accept() override {
    const QStringList files = selectedFiles();
    // A folder name typed only opens that folder.
    if (prompt_ && !files.isEmpty() && !DirectoryExists(FromQString(files.first())) &&
        !MayReplace(WithDefaultExt(FromQString(files.first()), defaultExt_)))
      return;
    QFileDialog::accept();
  }

 private:
  std::string defaultExt_;
  bool prompt_;
};

// The file a name typed into the dialog stands for: taken in the folder the dialog shows.
QString TypedPath(const QFileDialog& dialog, const QString& typed) {
  if (typed.isEmpty()) return {};
  return QDir::isAbsolutePath(typed) ? typed : dialog.directory().absoluteFilePath(typed);
}

// A preview beside the dialog's list of the file it would open: the one it opens on, the one
// clicked and the one whose name is typed. Only a file whose path changed is loaded again.
void AddPreview(QFileDialog& dialog) {
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  auto grid = qobject_cast<QGridLayout*>(dialog.layout());
  if (!grid) return;
  auto* label = new QLabel(&dialog);  // owned by the dialog
  label->setObjectName(QLatin1String(PicturePreviewName));
  label->setFixedSize(kPreviewSide, kPreviewSide);
  label->setAlignment(Qt::AlignCenter);
  label->setFrameShape(QFrame::StyledPanel);
  grid->addWidget(label, 1, grid->columnCount(), grid->rowCount() - 1, 1);
  auto shown = std::make_shared<QString>();
  const auto show = [label, shown](const QString& path) {
    if (path == *shown) return;
    *shown = path;
    label->setPixmap(QFileInfo(path).isFile() ? PreviewPixmap(path) : QPixmap());
  };
  QObject::connect(&dialog, &QFileDialog::currentChanged, label, show);
  auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  if (!edit) return;
  const auto showTyped = [&dialog, edit, show] { show(TypedPath(dialog, edit->text())); };
  QObject::connect(edit, &QLineEdit::textChanged, label, showTyped);
  QObject::connect(&dialog, &QFileDialog::directoryEntered, label, showTyped);
  // Once the dialog shows, so a large picture does not keep it from showing.
  QTimer::singleShot(0, label, showTyped);
}

}  // namespace

void StopAsking() {
  askingStopped = true;
}

int ShowMessageBox(const std::string& text, const std::string& caption, uint32_t flags) {
  if (auto& hook = TestHooks().messageBox) return hook(text, caption, flags);
  uint32_t buttons = flags & 0x0F;
  if (NobodyToAsk(TestHooks().showMessageBoxes)) {
    std::cerr << caption << ": " << text << '\n';
    return Unanswered(buttons);
  }
  QMessageBox box(DialogParent());
  box.setWindowTitle(ToQString(caption));
  box.setText(Lines(text));
  box.setTextFormat(Qt::PlainText);
  switch (flags & 0xF0) {
    case MB_ICONERROR:
      box.setIcon(QMessageBox::Critical);
      break;
    case MB_ICONQUESTION:
      box.setIcon(QMessageBox::Question);
      break;
    case MB_ICONWARNING:
      box.setIcon(QMessageBox::Warning);
      break;
    case MB_ICONINFORMATION:
      box.setIcon(QMessageBox::Information);
      break;
    default:
      break;
  }
  QMessageBox::StandardButtons set = QMessageBox::Ok;
  if (buttons == MB_OKCANCEL) set = QMessageBox::Ok | QMessageBox::Cancel;
  if (buttons == MB_YESNO) set = QMessageBox::Yes | QMessageBox::No;
  if (buttons == MB_YESNOCANCEL) set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  box.setStandardButtons(set);
  // Esc and the close box answer Cancel. A Yes/No box has no Cancel to show, and Qt would take No
  // for it; a hidden one makes dismissing the question neither yes nor no.
  if (buttons == MB_YESNO) box.addButton(QMessageBox::Cancel)->hide();
  if (box.button(QMessageBox::Cancel)) box.setEscapeButton(QMessageBox::Cancel);
  const int answer = box.exec();
  // The run ended from outside closed the box.
  if (askingStopped) return Unanswered(buttons);
  switch (answer) {
    case QMessageBox::Yes:
      return IDYES;
    case QMessageBox::No:
      return IDNO;
    case QMessageBox::Cancel:
      return IDCANCEL;
    default:
      return IDOK;
  }
}

TModalResult MessageDlg(const std::string& text, TMsgDlgType type, uint32_t buttons) {
  static const uint32_t icons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION,
                                   MB_ICONQUESTION, 0};
  static const char* const captions[] = {"Warning", "Error", "Information", "Confirm", ""};
  return ShowMessageBox(text, captions[type], (buttons & 0x0F) | icons[type]);
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  if (auto& hook = TestHooks().inputQuery) {
    auto answer = hook(caption, prompt, value);
    if (!answer) return false;
    value = *answer;
    return true;
  }
  if (NobodyToAsk()) return false;
  bool ok = false;
  QString text = QInputDialog::getText(DialogParent(), ToQString(caption), Lines(prompt),
                                       QLineEdit::Normal, ToQString(value), &ok);
  if (ok) value = FromQString(text);
  return ok;
}

std::string FilterToQt(const std::string& filter) {
  if (filter.find('|') == std::string::npos) return filter;  // already in Qt's form
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= filter.size()) {
    size_t bar = filter.find('|', start);
    parts.push_back(
        filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  std::string result;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string description = parts[i];
    // A description that already names its patterns in parentheses loses them: ours follow.
    size_t open = description.rfind('(');
    if (open != std::string::npos && description.back() == ')') description.erase(open);
    while (!description.empty() && description.back() == ' ') description.pop_back();
    std::string patterns = parts[i + 1];
    for (char& c : patterns)
      if (c == ';') c = ' ';
    if (!result.empty()) result += ";;";
    result += description + " (" + patterns + ")";
  }
  return result;
}

bool TOpenDialog::Execute() {
  return Run(false, false);
}

bool TOpenDialog::Run(bool save, bool picture) {
  std::string folder = ExtractFilePath(fileName_);
  std::string name = ExtractFileName(fileName_);
  if (name.find_first_of("*?") != std::string::npos) name.clear();
  if (folder.empty()) folder = initialDir_;
  const std::string filter = picture && filter_.empty() ? TPicture::GraphicFilter() : filter_;
  if (auto& hook = TestHooks().fileDialog) {
    TFileDialogRequest request{save,      title_,
                               filter,    folder,
                               fileName_, picture ? TPreviewSource(Preview) : TPreviewSource()};
    if (!hook(request)) return false;
    const std::string chosen =
        save ? WithDefaultExt(request.fileName, defaultExt_) : request.fileName;
    // The hook stands for the dialog, so the question comes here; No cancels.
    if (save && (options_ & ofOverwritePrompt) && !MayReplace(chosen)) return false;
    fileName_ = chosen;
    return true;
  }
  if (NobodyToAsk(TestHooks().showFileDialogs)) return false;
  TReplaceAskingDialog dialog(DialogParent(), ToQString(title_), ToQString(folder),
                              ToQString(FilterToQt(filter)), save ? defaultExt_ : std::string(),
                              save && (options_ & ofOverwritePrompt));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!defaultExt_.empty()) dialog.setDefaultSuffix(ToQString(defaultExt_));
  QStringList filters = dialog.nameFilters();
  if (filterIndex_ >= 1 && filterIndex_ <= filters.size())
    dialog.selectNameFilter(filters[filterIndex_ - 1]);
  if (!name.empty()) dialog.selectFile(ToQString(name));
  if (picture) AddPreview(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  fileName_ = FromQString(dialog.selectedFiles().first());
  if (save) fileName_ = WithDefaultExt(fileName_, defaultExt_);
  filterIndex_ = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
  return true;
}

bool TColorDialog::Execute() {
  if (auto& hook = TestHooks().colorDialog) {
    auto answer = hook(color_);
    if (!answer) return false;
    color_ = *answer;
    return true;
  }
  if (NobodyToAsk()) return false;
  QColor chosen = QColorDialog::getColor(ToQColor(color_), DialogParent());
  if (!chosen.isValid()) return false;
  color_ = RGB(static_cast<uint8_t>(chosen.red()), static_cast<uint8_t>(chosen.green()),
               static_cast<uint8_t>(chosen.blue()));
  return true;
}

}  // namespace plat
