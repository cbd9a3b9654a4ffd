#include "platform/gui/dialogs.h"

#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QSpacerItem>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include <cstdio>

#include "platform/gui/graphics.h"
#include "platform/rtl/encoding.h"
#include "platform/gui/windowsystem_internal.h"

namespace {

QString ToQ(const String& S) { return QString::fromUtf16(S.data(), static_cast<qsizetype>(S.size())); }
String FromQ(const QString& S) { return String(reinterpret_cast<const Char*>(S.utf16()), static_cast<size_t>(S.size())); }

QWidget* OwnerWidget(HWND Owner) { return static_cast<QWidget*>(NativeWidgetOf(Owner)); }

// Without a screen nobody can answer a dialog, and a modal loop would wait
// for ever: the question is written to the error output and answered with
// its default.
bool Headless() { return QGuiApplication::platformName() == QStringLiteral("offscreen"); }

// "Text files (*.txt)" entries for the toolkit from "Text files|*.txt".
QStringList NameFilters(const String& Filter) {
  QStringList list;
  for (auto& [name, patterns] : ParseDialogFilter(Filter)) {
    QString p = ToQ(patterns);
    p.replace(QLatin1Char(';'), QLatin1Char(' '));
    list << ToQ(name) + QStringLiteral(" (") + p + QStringLiteral(")");
  }
  return list;
}

// Room the window manager takes from a title bar beside the title: the
// window icon and the close button with their margins.
constexpr int TitleBarChrome = 96;

// A message box has a title bar with a close button only (a box is neither
// minimised nor maximised), and is wide enough for the window manager to
// show its whole title.
void FitTitle(QMessageBox& Box) {
  Box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                     Qt::WindowCloseButtonHint);
  QFont title = Box.font();
  title.setBold(true);
  const int width = QFontMetrics(title).horizontalAdvance(Box.windowTitle()) + TitleBarChrome;
  if (auto* grid = qobject_cast<QGridLayout*>(Box.layout()))
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), grid->rowCount(), 0, 1,
                  grid->columnCount());
  // Of fixed size: the box is neither sized nor maximised.
  if (Box.layout()) Box.layout()->setSizeConstraint(QLayout::SetFixedSize);
}

class TWindowSystemDialogService : public TDialogService {
public:
  Integer MessageBox(HWND Owner, const String& Text, const String& Caption, Cardinal Flags) override {
    EnsureGuiRuntime();
    QMessageBox box(OwnerWidget(Owner));
    box.setWindowTitle(ToQ(Caption));
    box.setText(ToQ(Text));
    switch (Flags & 0xF0) {
      case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
      case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
      case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
      case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
      default: break;
    }
    std::vector<std::pair<QAbstractButton*, Integer>> buttons;
    auto add = [&](const char* text, QMessageBox::ButtonRole role, Integer id) {
      buttons.emplace_back(box.addButton(QString::fromUtf8(text), role), id);
    };
    switch (Flags & 0xF) {
      case MB_OKCANCEL: add("确定", QMessageBox::AcceptRole, IDOK); add("取消", QMessageBox::RejectRole, IDCANCEL); break;
      case MB_ABORTRETRYIGNORE:
        add("中止", QMessageBox::RejectRole, IDABORT); add("重试", QMessageBox::AcceptRole, IDRETRY);
        add("忽略", QMessageBox::AcceptRole, IDIGNORE); break;
      case MB_YESNOCANCEL:
        add("是", QMessageBox::YesRole, IDYES); add("否", QMessageBox::NoRole, IDNO);
        add("取消", QMessageBox::RejectRole, IDCANCEL); break;
      case MB_YESNO: add("是", QMessageBox::YesRole, IDYES); add("否", QMessageBox::NoRole, IDNO); break;
      case MB_RETRYCANCEL: add("重试", QMessageBox::AcceptRole, IDRETRY); add("取消", QMessageBox::RejectRole, IDCANCEL); break;
      default: add("确定", QMessageBox::AcceptRole, IDOK); break;
    }
    size_t def = (Flags & MB_DEFBUTTON3) ? 2 : (Flags & MB_DEFBUTTON2) ? 1 : 0;
    if (def >= buttons.size()) def = 0;
    if (Headless()) {
      std::fprintf(stderr, "%s: %s\n", StringToUTF8(Caption).c_str(), StringToUTF8(Text).c_str());
      return buttons[def].second;
    }
    box.setDefaultButton(static_cast<QPushButton*>(buttons[def].first));
    FitTitle(box);
    box.exec();
    for (auto& [b, id] : buttons)
      if (box.clickedButton() == b) return id;
    return (Flags & 0xF) == MB_OK ? IDOK : IDCANCEL;
  }

  TFileDialogResult OpenFile(HWND Owner, const TFileDialogRequest& R) override { return Run(Owner, R, false); }
  TFileDialogResult SaveFile(HWND Owner, const TFileDialogRequest& R) override { return Run(Owner, R, true); }

private:
  TFileDialogResult Run(HWND Owner, const TFileDialogRequest& R, bool Save) {
    EnsureGuiRuntime();
    if (Headless()) return {};
    QFileDialog dlg(OwnerWidget(Owner), ToQ(R.Title), ToQ(R.InitialDir));
    dlg.setAcceptMode(Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (Save) dlg.setFileMode(QFileDialog::AnyFile);
    else dlg.setFileMode(R.AllowMultiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    if (Save && !R.OverwritePrompt) dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    QStringList filters = NameFilters(R.Filter);
    if (!filters.isEmpty()) {
      dlg.setNameFilters(filters);
      int index = std::clamp(R.FilterIndex, 1, static_cast<Integer>(filters.size())) - 1;
      dlg.selectNameFilter(filters[index]);
    }
    if (!R.DefaultExt.empty()) dlg.setDefaultSuffix(ToQ(R.DefaultExt));
    if (!R.FileName.empty()) dlg.selectFile(ToQ(R.FileName));
    TFileDialogResult result;
    if (dlg.exec() != QDialog::Accepted) return result;
    result.Accepted = true;
    for (const QString& f : dlg.selectedFiles()) result.FileNames.push_back(FromQ(f));
    result.FilterIndex = static_cast<Integer>(filters.indexOf(dlg.selectedNameFilter())) + 1;
    if (result.FilterIndex <= 0) result.FilterIndex = R.FilterIndex;
    result.Accepted = !result.FileNames.empty();
    return result;
  }
};

TDialogService* GInstalled = nullptr;

TDialogService& Default() {
  static std::unique_ptr<TDialogService> service = CreateWindowSystemDialogService();
  return *service;
}

}  // namespace

std::unique_ptr<TDialogService> CreateWindowSystemDialogService() {
  return std::make_unique<TWindowSystemDialogService>();
}

TDialogService& DialogService() { return GInstalled ? *GInstalled : Default(); }

TDialogService* SetDialogService(TDialogService* Service) {
  TDialogService* old = GInstalled;
  GInstalled = Service;
  return old;
}

Integer MessageBox(HWND Owner, const String& Text, const String& Caption, Cardinal Flags) {
  return DialogService().MessageBox(Owner, Text, Caption, Flags);
}

std::vector<std::pair<String, String>> ParseDialogFilter(const String& Filter) {
  std::vector<String> parts;
  size_t start = 0;
  while (start <= Filter.size() && !Filter.empty()) {
    size_t bar = Filter.find(u'|', start);
    if (bar == String::npos) {
      parts.push_back(Filter.substr(start));
      break;
    }
    parts.push_back(Filter.substr(start, bar - start));
    start = bar + 1;
  }
  std::vector<std::pair<String, String>> result;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) result.emplace_back(parts[i], parts[i + 1]);
  if (parts.size() % 2 == 1 && !parts.back().empty()) result.emplace_back(parts.back(), parts.back());
  return result;
}
