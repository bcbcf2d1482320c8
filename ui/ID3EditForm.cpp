#include "ui/ID3EditForm.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "settings/LangString.h"
#include "settings/translate/TranslateForm.h"
#include "tags/FullTags.h"
#include "tags/Id3Genres.h"
#include "ui/MessageBox.h"

namespace trackmill {
namespace {

// The ID3v2 frames of the fields, in the order of FieldTexts().
constexpr const char* kId3v2Frames[] = {"TIT2", "TPE1", "TALB", "TDRC", "COMM", "TRCK", "TCON"};

QLineEdit* AddField(QGridLayout* grid, QWidget* parent, const char* labelName, const char* label, const char* name,
                    int maxLength) {
  const int row = grid->rowCount();
  auto* caption = new QLabel(QString::fromLatin1(label), parent);
  caption->setObjectName(QString::fromLatin1(labelName));
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setMaxLength(maxLength);
  caption->setBuddy(edit);
  grid->addWidget(caption, row, 0);
  grid->addWidget(edit, row, 1);
  return edit;
}

QPushButton* AddButton(QBoxLayout* row, QWidget* parent, const char* name, const char* text) {
  auto* button = new QPushButton(QString::fromLatin1(text), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  row->addWidget(button);
  return button;
}

QString Caption() { return LangString(QStringLiteral("RES_ID3Edit_Caption")); }

}  // namespace

TfrmID3Edit::TfrmID3Edit(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmID3Edit"));
  setWindowTitle(QStringLiteral("ID3 Tag Edit"));

  tagGroup_ = new QGroupBox(QStringLiteral("ID3 Tag"), this);
  tagGroup_->setObjectName(QStringLiteral("GroupBox1"));
  auto* grid = new QGridLayout(tagGroup_);
  title_ = AddField(grid, tagGroup_, "lblTitle", "&Title:", "ID3title", Tid3tag::kTextLength);
  artist_ = AddField(grid, tagGroup_, "lblArtist", "&Artist:", "ID3artist", Tid3tag::kTextLength);
  album_ = AddField(grid, tagGroup_, "lblAlbum", "Al&bum:", "ID3album", Tid3tag::kTextLength);
  year_ = AddField(grid, tagGroup_, "lblYear", "&Year:", "ID3year", Tid3tag::kYearLength);
  year_->setMaximumWidth(80);
  const int genreRow = grid->rowCount();
  auto* genreLabel = new QLabel(QStringLiteral("&Genre:"), tagGroup_);
  genreLabel->setObjectName(QStringLiteral("lblGenre"));
  // Its entries are genre names, data rather than texts: they are filled when the window is
  // first shown, after the translation, so no language file carries them.
  genre_ = new QComboBox(tagGroup_);
  genre_->setObjectName(QStringLiteral("ID3genre"));
  genre_->setMaxVisibleItems(20);
  genreLabel->setBuddy(genre_);
  grid->addWidget(genreLabel, genreRow, 0);
  grid->addWidget(genre_, genreRow, 1);
  comment_ = AddField(grid, tagGroup_, "lblComment", "Co&mment:", "ID3comment", Tid3tag::kTextLength);
  track_ = AddField(grid, tagGroup_, "lblTrack", "Trac&k #:", "ID3track", 2);
  track_->setMaximumWidth(50);
  track_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), track_));
  title_->setMinimumWidth(260);

  auto* buttons = new QHBoxLayout;
  loadButton_ = AddButton(buttons, this, "btLoadTag", "&Load Tag...");
  saveButton_ = AddButton(buttons, this, "btSaveTag", "&Save Tag");
  saveAsButton_ = AddButton(buttons, this, "btSaveAs", "Sa&ve As...");
  removeButton_ = AddButton(buttons, this, "btRemoveTag", "&Remove Tag");
  buttons->addStretch();
  closeButton_ = AddButton(buttons, this, "btClose", "&Close");

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tagGroup_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(loadButton_, &QPushButton::clicked, this, &TfrmID3Edit::LoadChosenFile);
  connect(saveButton_, &QPushButton::clicked, this, &TfrmID3Edit::SaveTag);
  connect(saveAsButton_, &QPushButton::clicked, this, &TfrmID3Edit::SaveTagAs);
  connect(removeButton_, &QPushButton::clicked, this, &TfrmID3Edit::RemoveTag);
  connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);
  SetTarget({});
  TranslateWhenFirstShown(this);
}

void TfrmID3Edit::showEvent(QShowEvent* event) {
  if (!shown_) {
    shown_ = true;
    FillGenres();
    // The caption comes from the message texts (the translation gave it the window's own).
    SetTarget(target_);
  }
  QDialog::showEvent(event);
}

void TfrmID3Edit::FillGenres() {
  if (genre_->count() > 0) return;
  genre_->addItems(GenreDisplayList());
  genre_->setCurrentIndex(-1);
}

QString TfrmID3Edit::PickFile() {
  return QFileDialog::getOpenFileName(this, QString(), QFileInfo(target_).absolutePath(),
                                      QStringLiteral("MP3 files (*.mp3)"));
}

void TfrmID3Edit::SetTarget(const QString& file) {
  target_ = file;
  setWindowTitle(file.isEmpty() ? Caption() : Caption() + QStringLiteral(": ") + file);
  saveButton_->setEnabled(!file.isEmpty());
  removeButton_->setEnabled(!file.isEmpty());
}

void TfrmID3Edit::LoadChosenFile() {
  const QString file = PickFile();
  if (!file.isEmpty()) LoadFile(file);
}

void TfrmID3Edit::LoadFile(const QString& file) {
  FillGenres();
  // A fresh reader: what an earlier file held must not show as this one's tag.
  tag_ = Tid3tag();
  if (Tid3tag::IsSuccess(tag_.ReadTag(file)))
    ShowTag();
  else
    ClearFields();  // a file without a tag can be given one with Save
  loadedTexts_ = FieldTexts();
  SetTarget(file);
}

void TfrmID3Edit::ShowTag() {
  title_->setText(tag_.Title);
  artist_->setText(tag_.Artist);
  album_->setText(tag_.Album);
  year_->setText(tag_.Year);
  genre_->setCurrentIndex(GenreToListIndex(tag_.Genre));
  comment_->setText(tag_.Comment);
  track_->setText(QString::number(tag_.Track));
}

void TfrmID3Edit::ClearFields() {
  for (QLineEdit* field : {title_, artist_, album_, year_, comment_}) field->clear();
  genre_->setCurrentIndex(-1);
  track_->setText(QStringLiteral("0"));
}

void TfrmID3Edit::CopyFieldsToTag() {
  tag_.SetTitle(title_->text());
  tag_.SetArtist(artist_->text());
  tag_.SetAlbum(album_->text());
  tag_.SetYear(year_->text());
  tag_.SetComment(comment_->text());
  tag_.Genre = ListIndexToGenre(genre_->currentIndex());
  // An empty track field keeps the track the tag had.
  if (!track_->text().isEmpty()) tag_.SetTrack(static_cast<quint8>(track_->text().toInt()));
}

QStringList TfrmID3Edit::FieldTexts() const {
  const int genre = ListIndexToGenre(genre_->currentIndex());
  const int track = track_->text().toInt();
  return {title_->text(), artist_->text(), album_->text(), year_->text(), comment_->text(),
          track > 0 ? QString::number(track) : QString(), GenreName(genre)};
}

bool TfrmID3Edit::WriteFields(const QString& file, const QStringList& before) {
  CopyFieldsToTag();
  if (!Tid3tag::IsSuccess(tag_.WriteTag(file))) return false;
  Id3v2Changes changes;
  const QStringList now = FieldTexts();
  for (qsizetype i = 0; i < now.size(); ++i)
    if (now[i] != before.value(i)) changes.emplace_back(kId3v2Frames[i], now[i]);
  QString error;
  if (ChangeId3v2Frames(file, changes, &error) == Id3v2Edit::Failed) return false;
  loadedTexts_ = now;
  return true;
}

void TfrmID3Edit::SaveTag() {
  if (target_.isEmpty()) return;
  // Written to the named target, never to the reader's remembered file: a file that could not
  // be opened leaves that name at the file loaded before.
  if (!WriteFields(target_, loadedTexts_))
    ShowMessageBox(this, LangString(QStringLiteral("RES_SaveTag_Error")), QMessageBox::Information);
}

void TfrmID3Edit::SaveTagAs() {
  const QString file = PickFile();
  if (file.isEmpty()) return;
  // Another file's ID3v2 tag holds other texts: every field is a change there.
  if (WriteFields(file, {}))
    SetTarget(file);
  else
    ShowMessageBox(this, LangString(QStringLiteral("RES_SaveTag_Error")), QMessageBox::Information);
}

void TfrmID3Edit::RemoveTag() {
  if (target_.isEmpty()) return;
  if (!ConfirmDefaultNo(this, LangString(QStringLiteral("RES_Ask_RemoveTag")))) return;
  tag_.FileName = target_;
  const quint16 status = tag_.RemoveTagReporting();
  QString error;
  const bool v2Removed = RemoveId3v2Tag(target_, &error) != Id3v2Edit::Failed;
  // A tag that stays in the file must not look removed.
  if ((!Tid3tag::IsSuccess(status) && status != Tid3tag::kNoTag) || !v2Removed) {
    ShowMessageBox(this, LangString(QStringLiteral("RES_RemoveTag_Error")), QMessageBox::Information);
    return;
  }
  ClearFields();
}

}  // namespace trackmill
