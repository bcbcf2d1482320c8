#include "ui/QueryCDDBForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "cddb/CddbServers.h"
#include "settings/translate/TranslateForm.h"
#include "ui/FormParts.h"
#include "ui/StopQueryForm.h"

namespace trackmill {
namespace {

QLabel* AddLabel(QGridLayout* grid, int row, QWidget* parent, const char* name, const char* text, QWidget* buddy) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setBuddy(buddy);
  grid->addWidget(label, row, 0);
  grid->addWidget(buddy, row, 1);
  return label;
}

}  // namespace

TfrmQueryCDDB::TfrmQueryCDDB(QWidget* parent, CddbToc toc, DiscInfo* disc, QStringList* rowTitles)
    : QDialog(parent), toc_(std::move(toc)), disc_(disc), rowTitles_(rowTitles) {
  setObjectName(QStringLiteral("frmQueryCDDB"));
  setWindowTitle(QStringLiteral("Query CDDB"));

  auto* picture = new QLabel(this);
  picture->setPixmap(style()->standardIcon(QStyle::SP_DriveNetIcon).pixmap(48, 48));
  picture->setAlignment(Qt::AlignTop);

  serverGroup_ = new QGroupBox(QStringLiteral("Server"), this);
  serverGroup_->setObjectName(QStringLiteral("GroupBox1"));
  // Host names are data: the list is filled when the window is first shown, after the
  // translation, so no language file carries them.
  server_ = new QComboBox(serverGroup_);
  server_->setObjectName(QStringLiteral("cbServer"));
  server_->setEditable(true);
  server_->setInsertPolicy(QComboBox::NoInsert);
  server_->setMinimumWidth(240);
  script_ = Named(new QLineEdit(serverGroup_), "edScript");
  email_ = Named(new QLineEdit(serverGroup_), "edEmail");
  email_->setPlaceholderText(QStringLiteral("you@example.org"));
  emailHint_ = new QLabel(QStringLiteral("CDDB servers answer only clients that give their e-mail address."),
                            serverGroup_);
  emailHint_->setObjectName(QStringLiteral("lblEmailHint"));
  emailHint_->setWordWrap(true);
  emailHint_->setStyleSheet(QStringLiteral("color: #a00000;"));
  auto* serverGrid = new QGridLayout(serverGroup_);
  AddLabel(serverGrid, 0, serverGroup_, "Label1", "Freedb &Server:", server_);
  AddLabel(serverGrid, 1, serverGroup_, "Label2", "Query S&cript:", script_);
  AddLabel(serverGrid, 2, serverGroup_, "Label5", "&E-mail address:", email_);
  serverGrid->addWidget(emailHint_, 3, 1);

  proxyGroup_ = new QGroupBox(QStringLiteral("Proxy server"), this);
  proxyGroup_->setObjectName(QStringLiteral("GroupBox2"));
  useProxy_ = new QCheckBox(QStringLiteral("&Use a proxy server"), proxyGroup_);
  useProxy_->setObjectName(QStringLiteral("cbUseProxy"));
  proxyAddress_ = Named(new QLineEdit(proxyGroup_), "edProxyAddress");
  proxyPort_ = Named(new QLineEdit(proxyGroup_), "edProxyPort");
  proxyPort_->setMaximumWidth(70);
  auto* proxyGrid = new QGridLayout(proxyGroup_);
  proxyGrid->addWidget(useProxy_, 0, 0, 1, 2);
  proxyAddressLabel_ = AddLabel(proxyGrid, 1, proxyGroup_, "Label3", "A&ddress:", proxyAddress_);
  proxyPortLabel_ = AddLabel(proxyGrid, 2, proxyGroup_, "Label4", "&Port:", proxyPort_);

  queryButton_ = Named(new QPushButton(QStringLiteral("&Query"), this), "btQuery");
  queryButton_->setDefault(true);
  closeButton_ = Named(new QPushButton(QStringLiteral("C&lose"), this), "btClose");
  defaultsButton_ = Named(new QPushButton(QStringLiteral("De&fault"), this), "btDefault");
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(queryButton_);
  buttons->addWidget(closeButton_);
  buttons->addWidget(defaultsButton_);
  buttons->addStretch();

  auto* groups = new QVBoxLayout;
  groups->addWidget(serverGroup_);
  groups->addWidget(proxyGroup_);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(picture);
  layout->addLayout(groups);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(useProxy_, &QCheckBox::toggled, this, &TfrmQueryCDDB::UpdateControls);
  connect(email_, &QLineEdit::textChanged, this, &TfrmQueryCDDB::UpdateControls);
  connect(queryButton_, &QPushButton::clicked, this, &TfrmQueryCDDB::Query);
  connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);
  connect(defaultsButton_, &QPushButton::clicked, this, &TfrmQueryCDDB::RestoreDefaults);
  UpdateControls();
  TranslateWhenFirstShown(this);
}

void TfrmQueryCDDB::showEvent(QShowEvent* event) {
  if (!shown_) {
    shown_ = true;
    FillFromSettings();
  }
  QDialog::showEvent(event);
}

void TfrmQueryCDDB::FillFromSettings() {
  for (const char* server : kCddbServers) server_->addItem(QString::fromLatin1(server));
  const TSettings& settings = Settings();
  const int listed = server_->findText(settings.Server, Qt::MatchExactly | Qt::MatchCaseSensitive);
  server_->setCurrentIndex(listed >= 0 ? listed : 0);
  // A server of the user's own stays what it is, even though the list does not offer it.
  if (listed < 0 && !settings.Server.trimmed().isEmpty()) server_->setEditText(settings.Server);
  script_->setText(settings.Script);
  email_->setText(settings.Email);
  useProxy_->setChecked(settings.UseProxy);
  proxyAddress_->setText(settings.ProxyAddress);
  proxyPort_->setText(settings.Port);
  UpdateControls();
}

void TfrmQueryCDDB::UpdateControls() {
  for (QWidget* proxyPart : {static_cast<QWidget*>(proxyAddressLabel_), static_cast<QWidget*>(proxyAddress_),
                             static_cast<QWidget*>(proxyPortLabel_), static_cast<QWidget*>(proxyPort_)})
    proxyPart->setEnabled(useProxy_->isChecked());
  const bool haveEmail = !email_->text().trimmed().isEmpty();
  emailHint_->setVisible(!haveEmail);
  queryButton_->setEnabled(haveEmail);
}

void TfrmQueryCDDB::RestoreDefaults() {
  server_->setCurrentIndex(0);
  script_->setText(QString::fromLatin1(kCddbDefaultScript));
  useProxy_->setChecked(false);
}

void TfrmQueryCDDB::Query() {
  if (!queryButton_->isEnabled()) return;
  TSettings& settings = Settings();
  settings.Server = server_->currentText().trimmed();
  settings.Script = script_->text().trimmed();
  settings.Email = email_->text().trimmed();
  settings.UseProxy = useProxy_->isChecked();
  settings.ProxyAddress = proxyAddress_->text().trimmed();
  settings.Port = proxyPort_->text().trimmed();
  TfrmStopQuery progress(this, toc_, disc_, rowTitles_);
  if (progress.exec() == QDialog::Accepted) accept();
}

}  // namespace trackmill
