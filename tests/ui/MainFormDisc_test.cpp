#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTimer>

#include "settings/DiscInfoStore.h"
#include "settings/Settings.h"
#include "tests/jobs/JobTestSupport.h"
#include "tests/support/TestPaths.h"
#include "tests/ui/MainFormTestSupport.h"
#include "ui/DiscFieldsPanel.h"
#include "ui/EditTrackNameForm.h"
#include "ui/OptionSetForm.h"

namespace trackmill::test {
namespace {

constexpr int kArtistColumn = 4;

template <typename W>
W* Control(QWidget& window, const char* name) {
  W* found = window.findChild<W*>(name);
  EXPECT_NE(found, nullptr) << name;
  return found;
}

QLineEdit* CellEditor() { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }

TEST_F(MainFormTest, DiscFieldsAreTheRecordTheTagPageEditsAndShowTheCover) {
  // CD-Text names a guest on track 2: the Artist column comes, the disc's artist stays apart.
  TestDisc disc({"2s", "2s"}, {"--title", "Duet", "--performer", "Guest"});
  ASSERT_TRUE(disc.Ok());
  auto form = Open(disc.CuePath());
  auto* artist = Control<QLineEdit>(*form, "edDiscArtist");
  auto* year = Control<QLineEdit>(*form, "edDiscYear");
  auto* genre = Control<QComboBox>(*form, "cbDiscGenre");
  auto* tagFiles = Control<QCheckBox>(*form, "ckbTagFiles");
  QTreeWidget* list = List(*form);
  EXPECT_FALSE(list->isColumnHidden(kArtistColumn));
  EXPECT_EQ(Column(*form, kArtistColumn), QStringList({"", "Guest"}));

  QTest::keyClicks(artist, "Band");
  QTest::keyClicks(year, "1999");
  QTest::keyClicks(genre, "Blues");
  EXPECT_EQ(Settings().Disc.Artist, "Band");
  EXPECT_EQ(Settings().Disc.Year, "1999");
  EXPECT_EQ(Settings().Disc.Genre, 18);
  EXPECT_EQ(Column(*form, kArtistColumn), QStringList({"Band", "Guest"}));  // track 1 is the disc's

  // The tag page shows what was typed here, and what it changes shows here.
  QString artistOnTagPage;
  answerer_.OnWindow<TOptionSetForm>([&](TOptionSetForm* options) {
    artistOnTagPage = options->findChild<QLineEdit*>("ID3artist")->text();
    options->findChild<QLineEdit*>("ID3album")->setText("Sine Studies");
    options->findChild<QCheckBox*>("cbUseID3")->setChecked(true);
    QTimer::singleShot(0, options, &QDialog::accept);
  });
  Action(*form, "miOptions")->trigger();
  EXPECT_EQ(artistOnTagPage, "Band");
  EXPECT_EQ(Control<QLineEdit>(*form, "edDiscAlbum")->text(), "Sine Studies");
  EXPECT_TRUE(tagFiles->isChecked());
  EXPECT_TRUE(tagFiles->text().contains("MP3, Ogg and WMA")) << tagFiles->text().toStdString();
  QTest::mouseClick(tagFiles, Qt::LeftButton, {}, QPoint(8, tagFiles->height() / 2));
  EXPECT_FALSE(Settings().UseID3);

  // A cover kept for the disc shows beside the fields once the disc is read.
  const QLabel* cover = form->findChild<TDiscFieldsPanel*>("DiscPanel")->Cover();
  EXPECT_FALSE(cover->isVisible());
  const QString coverPath = DiscCoverPath(form->Tracks().DiscIdentifier);
  ASSERT_TRUE(QDir().mkpath(QFileInfo(coverPath).path()));
  QImage picture(60, 60, QImage::Format_RGB32);
  picture.fill(Qt::darkRed);
  ASSERT_TRUE(picture.save(coverPath, "JPG"));
  Action(*form, "bRefresh")->trigger();
  EXPECT_TRUE(cover->isVisible());
  form->close();

  // Saved with the titles: the same disc comes back with its fields.
  auto again = Open(disc.CuePath());
  EXPECT_EQ(Control<QLineEdit>(*again, "edDiscArtist")->text(), "Band");
  EXPECT_EQ(Control<QLineEdit>(*again, "edDiscAlbum")->text(), "Sine Studies");
  EXPECT_EQ(Control<QComboBox>(*again, "cbDiscGenre")->currentText(), "Blues");
  EXPECT_EQ(Column(*again, kArtistColumn), QStringList({"Band", "Guest"}));
  again->close();
  QFile::remove(coverPath);
}

TEST_F(MainFormTest, TitlesAndArtistsAreEditedInPlace) {
  TestDisc disc({"2s", "2s", "2s"});
  ASSERT_TRUE(disc.Ok());
  auto form = Open(disc.CuePath());
  QTreeWidget* list = List(*form);
  const auto cell = [&](int row, int column) { return list->visualRect(list->model()->index(row, column)).center(); };

  // Typing on a title starts its edit; Enter keeps it and goes on to the next track's title.
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell(0, 1));
  QTest::keyClick(list, 'I');
  ASSERT_NE(CellEditor(), nullptr);
  QTest::keyClicks(CellEditor(), "ntro");
  QTest::keyClick(CellEditor(), Qt::Key_Return);
  EXPECT_EQ(form->Tracks().Rows[0].Title, "Intro");
  ASSERT_TRUE(QTest::qWaitFor([] { return CellEditor() && CellEditor()->text() == "Track02"; }));
  QTest::keyClicks(CellEditor(), "Never");
  QTest::keyClick(CellEditor(), Qt::Key_Escape);  // cancels
  EXPECT_EQ(Column(*form, 1), QStringList({"Intro", "Track02", "Track03"}));
  EXPECT_EQ(CellEditor(), nullptr);

  // F2 on an artist cell edits it; the disc's own artist typed there is not kept per track.
  Action(*form, "miArtistColumn")->trigger();
  Settings().Disc.Artist = "Band";
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell(1, kArtistColumn));
  QTest::keyClick(list, Qt::Key_F2);
  for (const auto& [row, typed, kept] : {std::tuple{1, "Guest", "Guest"}, {2, "Band", ""}}) {
    ASSERT_TRUE(QTest::qWaitFor([] { return CellEditor(); })) << row;
    CellEditor()->selectAll();
    QTest::keyClicks(CellEditor(), typed);
    QTest::keyClick(CellEditor(), Qt::Key_Enter);
    EXPECT_EQ(Settings().Disc.TrackArtists[size_t(row)], kept) << row;
  }
  QTest::qWait(20);
  EXPECT_EQ(CellEditor(), nullptr);  // Enter on the last track ends there

  // The rename window stays on the Edit menu, whichever cell is current.
  answerer_.OnWindow<TfrmEditTrackName>([](TfrmEditTrackName* rename) {
    EXPECT_EQ(rename->trackName(), "Intro");
    QTimer::singleShot(0, rename, &QDialog::reject);
  });
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell(0, 1));
  Action(*form, "aEditTrackName")->trigger();
  EXPECT_TRUE(answerer_.AllAnswered());

  // A title being typed when the window closes is kept.
  Activate(*form);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell(2, 1));
  QTest::keyClick(list, Qt::Key_F2);
  ASSERT_NE(CellEditor(), nullptr);
  QTest::keyClicks(CellEditor(), "Outro");
  form->close();
  auto again = Open(disc.CuePath());
  EXPECT_EQ(Column(*again, 1), QStringList({"Intro", "Track02", "Outro"}));
  again->close();
}

class DropTest : public MainFormTest {
 protected:
  // Whether the window takes a drag of these files over its list (and over the artist field,
  // which leaves them to the window); dropped on the list too when taken.
  bool Drop(TMainForm& form, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    data.setText(urls.first().toLocalFile());  // as file managers add
    QWidget* field = form.findChild<QWidget*>("edDiscArtist");
    QDragEnterEvent overField(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(field, &overField);
    QWidget* list = List(form)->viewport();
    const QPoint at(list->width() / 2, list->height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(list, &enter);
    EXPECT_EQ(overField.isAccepted(), enter.isAccepted());
    if (!enter.isAccepted()) return false;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(list, &drop);
    return drop.isAccepted();
  }
  static QMenu* DropMenu() {
    EXPECT_TRUE(QTest::qWaitFor([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }));
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
  }
  static QStringList Entries(QMenu* menu) {
    QStringList texts;
    for (QAction* entry : menu->actions()) texts << entry->text();
    return texts;
  }
};

TEST_F(DropTest, SoundFilesAreOfferedTheirConversionsAndADiscImageIsOpened) {
  QTemporaryDir sources;
  const QString wav = sources.filePath("a.wav");
  ASSERT_TRUE(MakeWav(wav, 0.5));
  ASSERT_TRUE(WriteBytes(sources.filePath("notes.txt"), "x"));
  ASSERT_TRUE(WriteBytes(sources.filePath("b.mp3"), "x"));
  TestDisc other({"1s", "1s", "1s"});
  ASSERT_TRUE(other.Ok());
  auto form = Open(SomeDisc());
  const auto file = [&](const QString& name) { return QUrl::fromLocalFile(sources.filePath(name)); };
  const QUrl cue = QUrl::fromLocalFile(other.CuePath());
  for (const QList<QUrl>& refused : QList<QList<QUrl>>{{file("notes.txt")}, {file("a.wav"), file("b.mp3")},
                                                       {cue, cue}, {QUrl::fromLocalFile(sources.path())},
                                                       {QUrl("https://example.org/a.wav")}, {file("gone.wav")}})
    EXPECT_FALSE(Drop(*form, refused)) << refused.first().toString().toStdString();

  ASSERT_TRUE(Drop(*form, {file("b.mp3")}));
  QMenu* menu = DropMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(Entries(menu), QStringList({Action(*form, "mnuMp3ToWav")->text()}));
  menu->close();

  // The job the File menu's WAV to MP3 runs, into the output folder.
  ASSERT_TRUE(Drop(*form, {file("a.wav")}));
  menu = DropMenu();
  ASSERT_NE(menu, nullptr);
  const QStringList wavJobs = {"ActionWavToMp3", "miWAVtoOGG", "miWAVtoWMA", "miWAVtoWAV"};
  QStringList expected;
  for (const QString& name : wavJobs) expected << Action(*form, qPrintable(name))->text();
  EXPECT_EQ(Entries(menu), expected);
  menu->actions().first()->trigger();
  menu->close();
  const auto converted = [&] { return QFile::exists(out_.filePath("a.mp3")) && !QApplication::activeModalWidget(); };
  EXPECT_TRUE(QTest::qWaitFor(converted, 20000));
  EXPECT_NEAR(ProbeDuration(out_.filePath("a.mp3")), 0.5, 0.1);

  Activate(*form);
  ASSERT_TRUE(Drop(*form, {cue}));
  EXPECT_TRUE(QTest::qWaitFor([&] { return List(*form)->topLevelItemCount() == 3; }));
  EXPECT_EQ(Settings().DiscImage, other.CuePath());
  form->close();
}

}  // namespace
}  // namespace trackmill::test
