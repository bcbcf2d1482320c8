// screenshots: renders every window of the program to OUTPUT_DIR/<window>-<language>.png,
// once per language named. The main window lists the disc image, the options dialog shows each
// of its pages over it, the summary that ends a rip is shown in three states, and the job
// window and the fallback extraction window are caught in the middle of ripping it; every
// other window is shown as it opens. Offscreen windows have
// no frame, so each picture gets a title bar with the window's caption.
// The main window's language menu is MainForm-LanguageMenu-<language>.png. With --album-image,
// the main window also lists that disc (a full album of several artists) with a front cover,
// as MainForm-Album, and again while a title is typed in its list, as MainForm-Editing.
// Usage: screenshots [--dark] --disc-image CUE [--album-image CUE] OUTPUT_DIR LANGUAGE...
// --dark: Fusion with a dark palette, as a desktop's dark theme sets it; the pictures are
// named <window>-<language>-dark.png.
// (settings and output folder from $TRACKMILL_HOME/options.ini, as the program would use them)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLinearGradient>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPalette>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>
#include <QTreeWidget>

#include "cd/Drive.h"
#include "cd/CDIn.h"
#include "common/TextForms.h"
#include "jobs/FallbackRip.h"
#include "jobs/JobRunner.h"
#include "jobs/Mp3EncodeProcess.h"
#include "jobs/WMAEncodeProcess.h"
#include "settings/DiscInfoStore.h"
#include "settings/Settings.h"
#include "ui/CDRipForm.h"
#include "ui/EditTrackNameForm.h"
#include "ui/FormRegistry.h"
#include "ui/MainForm.h"
#include "ui/OptionSetForm.h"
#include "ui/ResampleForm.h"
#include "ui/RipForm.h"
#include "ui/RipSummaryForm.h"
#include "verify/RipSummary.h"
#include "verify/RipVerification.h"

namespace trackmill {
namespace {

QImage Framed(QWidget* window) {
  const QImage client = window->grab().toImage();
  const int titleHeight = window->fontMetrics().height() + 10;
  QImage framed(client.width() + 2, client.height() + titleHeight + 1, QImage::Format_RGB32);
  framed.fill(QColor(42, 58, 122));
  QPainter painter(&framed);
  painter.drawImage(1, titleHeight, client);
  QFont bold = window->font();
  bold.setBold(true);
  painter.setFont(bold);
  painter.setPen(Qt::white);
  painter.drawText(QRect(8, 0, framed.width() - 16, titleHeight), Qt::AlignVCenter | Qt::AlignLeft,
                   window->windowTitle());
  return framed;
}

class Shooter {
 public:
  // suffix follows the language in the file names ("-dark").
  Shooter(const QDir& folder, const QString& language, const QString& suffix)
      : folder_(folder), language_(language), suffix_(suffix) {}

  // Saved as NAME-LANGUAGE.png, NAME being the window's objectName unless given.
  void Save(QWidget* window, const QString& name = {}) {
    QApplication::processEvents();  // layouts catch up with the texts of the translation
    const QString path =
        folder_.filePath((name.isEmpty() ? window->objectName() : name) + '-' + language_ + suffix_ + ".png");
    if (Framed(window).save(path)) return;
    QTextStream(stderr) << "screenshots: cannot write " << path << '\n';
    ++failures_;
  }
  void Fail(const QString& why) {
    QTextStream(stderr) << "screenshots: " << language_ << ": " << why << '\n';
    ++failures_;
  }
  int Failures() const { return failures_; }

 private:
  QDir folder_;
  QString language_;
  QString suffix_;
  int failures_ = 0;
};

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

// The options dialog over the main window, every page: the tag page shows the listed disc.
// The first page is OptionSetForm-LANGUAGE.png, page n OptionSetForm-Page<n>-LANGUAGE.png.
void ShootOptions(Shooter& shooter, TMainForm& main) {
  TOptionSetForm options(&main, &main);
  options.show();
  auto* pages = options.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
  for (int page = 0; page < pages->count(); ++page) {
    pages->setCurrentIndex(page);
    shooter.Save(&options, page == 0 ? QString() : QStringLiteral("OptionSetForm-Page%1").arg(page + 1));
  }
  options.reject();
}

// The fallback extraction window a third of the way into the first track, then the wave file
// converter with that track's WAV as its input.
void ShootFallbackWindows(Shooter& shooter, TMainForm& main, const QString& discImage) {
  TCDIn cdIn;
  cdIn.SelectDrive(int(DiscImages().indexOf(QFileInfo(discImage).absoluteFilePath())));
  TMp3EncodeProcess mp3;
  TWMAEncodeProcess wma;
  const JobItems items = main.Tracks().ExtractItems();
  TfrmCDRip rip(&main, cdIn, items, &mp3, &wma);
  bool caught = false;
  QObject::connect(&rip.Rip(), &TFallbackRip::Changed, &rip, [&] {
    if (caught || rip.Rip().GaugePercent() < 33) return;
    caught = true;
    shooter.Save(&rip);
    rip.reject();  // Stop
  });
  QTimer::singleShot(60000, &rip, &TfrmCDRip::reject);
  rip.exec();
  if (!caught) return shooter.Fail("the fallback rip ended before it could be caught");

  const QString wav = QDir(Settings().OutputFolder).filePath(items.at(0).title + ".wav");
  TfrmResample converter(&main);
  converter.SetInputFile(wav);
  converter.SetOutputFile(QFileInfo(wav).path() + "/" + QFileInfo(wav).completeBaseName() + " (22 kHz).wav");
  converter.show();
  shooter.Save(&converter);
}

// The summary that ends a rip of the listed disc, in three states: every track verified, the
// database out of reach, and a failed track.
// RipSummaryForm-Verified-LANGUAGE.png, -Unreachable-, -Failed-.
void ShootRipSummaries(Shooter& shooter, TMainForm& main) {
  using Kind = AccurateRipVerdict::Kind;
  using Outcome = AccurateRipLookup::Outcome;
  const JobItems items = main.Tracks().ExtractItems();
  const QDir folder(Settings().OutputFolder);
  const auto shoot = [&](const char* name, Outcome outcome, int failedTrack) {
    RipVerification rip;
    rip.record.lookedUp = true;
    rip.lookup.outcome = outcome;
    if (outcome == Outcome::Unreachable)
      rip.lookup.detail = QStringLiteral("Could not resolve host: www.accuraterip.com");
    for (const JobItem& item : items) {
      RippedTrack track;
      track.number = item.track;
      track.file = folder.filePath(item.title + ".flac");
      track.result = item.track == failedTrack ? JobItemResult::Failed : JobItemResult::Done;
      const bool verified = outcome == Outcome::Found && track.result == JobItemResult::Done;
      track.verdict = {verified ? Kind::Accurate : outcome == Outcome::Found ? Kind::NotChecked : Kind::NoAnswer,
                       verified ? 12 + item.track : 0, 2};
      rip.accurate += verified;
      rip.record.tracks.push_back(track);
    }
    RipSummaryForm summary(&main);
    summary.ShowSummary(SummarizeRip(rip, folder.path(), QString()));
    summary.show();
    shooter.Save(&summary, QStringLiteral("RipSummaryForm-") + name);
  };
  shoot("Verified", Outcome::Found, 0);
  shoot("Unreachable", Outcome::Unreachable, 0);
  shoot("Failed", Outcome::Found, 3);
}

// The main window with the disc listed, then the job window a third of the way into the
// first track of a rip of every track.
void ShootMainAndJobWindows(Shooter& shooter, const QString& discImage) {
  TMainForm main(discImage);
  main.show();
  if (!WaitFor([&] { return !main.Tracks().Rows.empty(); }, 10000)) return shooter.Fail("no tracks listed");
  shooter.Save(&main);
  // The language menu as it drops down: each language in its own name, the missing ones off.
  if (auto* languages = main.findChild<QMenu*>(QStringLiteral("miLanguage"))) {
    languages->ensurePolished();
    languages->resize(languages->sizeHint());
    shooter.Save(languages, QStringLiteral("MainForm-LanguageMenu"));
  }
  ShootOptions(shooter, main);
  ShootRipSummaries(shooter, main);

  // A job that cannot write would stop at a message box that nobody here answers.
  if (!QFileInfo(Settings().OutputFolder).isDir()) return shooter.Fail("the output folder does not exist");
  TMp3EncodeProcess mp3;
  TWMAEncodeProcess wma;
  TRipForm rip(&main, 1, main.Drive(), main.Tracks().ExtractItems(), &mp3, &wma);
  bool caught = false;
  QObject::connect(&rip.Runner(), &TJobRunner::Changed, &rip, [&] {
    if (caught || rip.Runner().InitializingVisible() || rip.Runner().GaugePercent() < 33) return;
    caught = true;
    shooter.Save(&rip);
    rip.reject();  // Stop
  });
  QTimer::singleShot(60000, &rip, &TRipForm::reject);
  rip.exec();
  if (!caught) shooter.Fail("the rip ended before it could be caught");
  ShootFallbackWindows(shooter, main, discImage);
}

// A front cover as the cover service would give one: a gradient with the album's name.
bool StoreCover(const QString& path, const QString& album) {
  QImage cover(300, 300, QImage::Format_RGB32);
  QPainter painter(&cover);
  QLinearGradient gradient(0, 0, 300, 300);
  gradient.setColorAt(0, QColor(28, 60, 110));
  gradient.setColorAt(1, QColor(210, 120, 40));
  painter.fillRect(cover.rect(), gradient);
  painter.setPen(Qt::white);
  QFont font = painter.font();
  font.setPixelSize(34);
  font.setBold(true);
  painter.setFont(font);
  painter.drawText(cover.rect().adjusted(20, 20, -20, -20), Qt::AlignCenter | Qt::TextWordWrap, album);
  painter.end();
  return QDir().mkpath(QFileInfo(path).path()) && cover.save(path, "JPG");
}

// The album disc listed with its cover and its Artist column, then a title being typed.
void ShootAlbum(Shooter& shooter, const QString& albumImage) {
  TMainForm main(albumImage);
  main.show();
  main.activateWindow();
  if (!WaitFor([&] { return !main.Tracks().Rows.empty(); }, 10000)) return shooter.Fail("the album is not listed");
  if (!StoreCover(DiscCoverPath(main.Tracks().DiscIdentifier), Settings().Disc.Album))
    return shooter.Fail("cannot store the cover");
  main.findChild<QAction*>(QStringLiteral("bRefresh"))->trigger();  // reads the disc and its cover again
  shooter.Save(&main, QStringLiteral("MainForm-Album"));

  auto* list = main.findChild<QTreeWidget*>(QStringLiteral("ListView1"));
  const QModelIndex title = list->model()->index(2, 1);
  list->setFocus();
  list->setCurrentIndex(title);
  list->edit(title);
  auto* editor = list->viewport()->findChild<QLineEdit*>();
  if (!editor) return shooter.Fail("no title editor opened");
  editor->setText(editor->text() + QStringLiteral(" (live"));
  shooter.Save(&main, QStringLiteral("MainForm-Editing"));
  editor->setText(editor->text() + QStringLiteral(")"));
}

void UseDarkPalette() {
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QPalette dark(QColor(53, 53, 53));
  dark.setColor(QPalette::Base, QColor(35, 35, 35));
  dark.setColor(QPalette::AlternateBase, QColor(53, 53, 53));
  for (const QPalette::ColorRole text : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    dark.setColor(text, QColor(230, 230, 230));
  dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
  dark.setColor(QPalette::HighlightedText, Qt::black);
  dark.setColor(QPalette::Link, QColor(100, 170, 255));
  dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(127, 127, 127));
  dark.setColor(QPalette::Disabled, QPalette::Text, QColor(127, 127, 127));
  dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(127, 127, 127));
  QApplication::setPalette(dark);
}

}  // namespace
}  // namespace trackmill

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QStringList args = app.arguments().mid(1);
  const bool dark = !args.isEmpty() && args[0] == u"--dark";
  if (dark) {
    args.removeFirst();
    trackmill::UseDarkPalette();
  }
  if (args.size() < 4 || args[0] != u"--disc-image") {
    QTextStream(stderr)
        << "usage: screenshots [--dark] --disc-image CUE [--album-image CUE] OUTPUT_DIR LANGUAGE...\n";
    return 2;
  }
  const QString discImage = args[1];
  args.remove(0, 2);
  QString albumImage;
  if (args.size() >= 2 && args[0] == u"--album-image") {
    albumImage = args[1];
    args.remove(0, 2);
  }
  if (args.size() < 2) {
    QTextStream(stderr) << "screenshots: OUTPUT_DIR and a LANGUAGE are needed\n";
    return 2;
  }
  const QDir folder(args[0]);
  QDir().mkpath(folder.path());
  int failures = 0;
  for (const QString& language : args.mid(1)) {
    trackmill::LoadSettings();
    trackmill::Settings().Lan = language;
    trackmill::SaveSettings();  // the main window reads the settings when it opens
    trackmill::Shooter shooter(folder, language, dark ? QStringLiteral("-dark") : QString());
    trackmill::ShootMainAndJobWindows(shooter, discImage);
    if (!albumImage.isEmpty()) trackmill::ShootAlbum(shooter, albumImage);
    for (const trackmill::FormFactory make : trackmill::FormFactories()) {
      const std::unique_ptr<QWidget> window = make();
      if (window->objectName() == u"MainForm" || window->objectName() == u"RipForm" ||
          window->objectName() == u"OptionSetForm" ||  // shown above, over the main window
          window->objectName() == u"RipSummaryForm")
        continue;
      if (auto* rename = qobject_cast<trackmill::TfrmEditTrackName*>(window.get())) rename->setTrackName("Little Waltz");
      window->show();
      QApplication::processEvents();
      shooter.Save(window.get());
    }
    failures += shooter.Failures();
  }
  return failures == 0 ? 0 : 1;
}
