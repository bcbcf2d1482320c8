#include "ui/DiscFieldsPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>

#include "settings/Settings.h"
#include "settings/translate/FormTexts.h"
#include "tags/Id3Genres.h"
#include "ui/FormParts.h"

namespace trackmill {
namespace {

constexpr int kCoverPixels = 84;  // as tall as the three rows of fields
constexpr int kYearLength = 4;    // as the tag page takes it

QLabel* BuddyLabel(const char* name, const char* text, QWidget* control) {
  auto* label = Named(new QLabel(QLatin1String(text)), name);
  label->setBuddy(control);
  return label;
}

}  // namespace

TDiscFieldsPanel::TDiscFieldsPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("DiscPanel"));
  artist_ = Named(new QLineEdit, "edDiscArtist");
  album_ = Named(new QLineEdit, "edDiscAlbum");
  year_ = Named(new QLineEdit, "edDiscYear");
  year_->setMaxLength(kYearLength);
  year_->setMaximumWidth(year_->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
  genre_ = Named(new QComboBox, "cbDiscGenre");
  genre_->addItems(GenreDisplayList());
  genre_->setProperty(kFixedItemsProperty, true);
  tagFiles_ = Named(new QCheckBox(QStringLiteral("&Tag files (MP3, Ogg and WMA; FLAC files are always tagged)")),
                    "ckbTagFiles");
  cover_ = new QLabel;  // a picture, no text: unnamed, so no language file lists it
  cover_->setFixedSize(kCoverPixels, kCoverPixels);
  cover_->setAlignment(Qt::AlignCenter);
  cover_->hide();

  auto* fields = new QGridLayout;
  fields->setContentsMargins(0, 0, 0, 0);
  fields->addWidget(BuddyLabel("lblDiscArtist", "A&rtist:", artist_), 0, 0);
  fields->addWidget(artist_, 0, 1);
  fields->addWidget(BuddyLabel("lblDiscYear", "&Year:", year_), 0, 2);
  fields->addWidget(year_, 0, 3);
  fields->addWidget(BuddyLabel("lblDiscAlbum", "Al&bum:", album_), 1, 0);
  fields->addWidget(album_, 1, 1);
  fields->addWidget(BuddyLabel("lblDiscGenre", "&Genre:", genre_), 1, 2);
  fields->addWidget(genre_, 1, 3);
  fields->addWidget(tagFiles_, 2, 1, 1, 3);
  fields->setColumnStretch(1, 1);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(cover_);
  layout->addLayout(fields);
  // Files dropped on a field are for the window (a conversion, a disc image), not a path to
  // be typed into the artist.
  for (QLineEdit* edit : {artist_, album_, year_}) edit->setAcceptDrops(false);
  // Tab goes down the artist and album, then across to year and genre.
  setTabOrder(artist_, album_);
  setTabOrder(album_, year_);
  setTabOrder(year_, genre_);
  setTabOrder(genre_, tagFiles_);

  auto bind = [this](QLineEdit* edit, QString DiscInfo::*field) {
    connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& text) {
      if (hasDisc_) Settings().Disc.*field = text;
    });
  };
  bind(artist_, &DiscInfo::Artist);
  bind(album_, &DiscInfo::Album);
  bind(year_, &DiscInfo::Year);
  connect(artist_, &QLineEdit::textEdited, this, &TDiscFieldsPanel::ArtistEdited);
  connect(genre_, &QComboBox::activated, this, [this](int position) {
    if (hasDisc_) Settings().Disc.Genre = position;
  });
  connect(tagFiles_, &QCheckBox::toggled, this, [](bool checked) { Settings().UseID3 = checked; });
}

void TDiscFieldsPanel::ShowDisc(bool hasDisc, const QString& coverPath) {
  hasDisc_ = hasDisc;
  const DiscInfo& disc = Settings().Disc;
  artist_->setText(hasDisc ? disc.Artist : QString());
  album_->setText(hasDisc ? disc.Album : QString());
  year_->setText(hasDisc ? disc.Year : QString());
  // A stored position the list does not have shows no genre and stays as it was.
  genre_->setCurrentIndex(hasDisc && disc.Genre >= 0 && disc.Genre < genre_->count() ? disc.Genre : -1);
  for (QWidget* field : {static_cast<QWidget*>(artist_), static_cast<QWidget*>(album_),
                         static_cast<QWidget*>(year_), static_cast<QWidget*>(genre_)})
    field->setEnabled(hasDisc);
  tagFiles_->setChecked(Settings().UseID3);

  QImage image;
  if (hasDisc && !coverPath.isEmpty()) {
    QImageReader reader(coverPath);
    reader.setAutoTransform(true);
    image = reader.read();
  }
  cover_->setVisible(!image.isNull());
  cover_->setPixmap(image.isNull() ? QPixmap()
                                   : QPixmap::fromImage(image.scaled(cover_->size(), Qt::KeepAspectRatio,
                                                                     Qt::SmoothTransformation)));
}

}  // namespace trackmill
