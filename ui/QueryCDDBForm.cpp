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
  cbServer = new QComboBox(serverGroup_);
  cbServer->setObjectName(QStringLiteral("cbServer"));
  cbServer->setEditable(true);
  cbServer->setInsertPolicy(QComboBox::NoInsert);
  cbServer->setMinimumWidth(240);
  edScript = Named(new QLineEdit(serverGroup_), "edScript");
  edEmail = Named(new QLineEdit(serverGroup_), "edEmail");
  edEmail->setPlaceholderText(QStringLiteral("you@example.org"));
  lblEmailHint = new QLabel(QStringLiteral("CDDB servers answer only clients that give their e-mail address."),
                            serverGroup_);
  lblEmailHint->setObjectName(QStringLiteral("lblEmailHint"));
  lblEmailHint->setWordWrap(true);
  lblEmailHint->setStyleSheet(QStringLiteral("color: #a00000;"));
  auto* serverGrid = new QGridLayout(serverGroup_);
  AddLabel(serverGrid, 0, serverGroup_, "Label1", "Freedb &Server:", cbServer);
  AddLabel(serverGrid, 1, serverGroup_, "Label2", "Query S&cript:", edScript);
  AddLabel(serverGrid, 2, serverGroup_, "Label5", "&E-mail address:", edEmail);
  serverGrid->addWidget(lblEmailHint, 3, 1);

  proxyGroup_ = new QGroupBox(QStringLiteral("Proxy server"), this);
  proxyGroup_->setObjectName(QStringLiteral("GroupBox2"));
  cbUseProxy = new QCheckBox(QStringLiteral("&Use a proxy server"), proxyGroup_);
  cbUseProxy->setObjectName(QStringLiteral("cbUseProxy"));
  edProxyAddress = Named(new QLineEdit(proxyGroup_), "edProxyAddress");
  edProxyPort = Named(new QLineEdit(proxyGroup_), "edProxyPort");
  edProxyPort->setMaximumWidth(70);
  auto* proxyGrid = new QGridLayout(proxyGroup_);
  proxyGrid->addWidget(cbUseProxy, 0, 0, 1, 2);
  proxyAddressLabel_ = AddLabel(proxyGrid, 1, proxyGroup_, "Label3", "A&ddress:", edProxyAddress);
  proxyPortLabel_ = AddLabel(proxyGrid, 2, proxyGroup_, "Label4", "&Port:", edProxyPort);

  btQuery = Named(new QPushButton(QStringLiteral("&Query"), this), "btQuery");
  btQuery->setDefault(true);
  btClose = Named(new QPushButton(QStringLiteral("C&lose"), this), "btClose");
  btDefault = Named(new QPushButton(QStringLiteral("De&fault"), this), "btDefault");
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(btQuery);
  buttons->addWidget(btClose);
  buttons->addWidget(btDefault);
  buttons->addStretch();

  auto* groups = new QVBoxLayout;
  groups->addWidget(serverGroup_);
  groups->addWidget(proxyGroup_);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(picture);
  layout->addLayout(groups);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(cbUseProxy, &QCheckBox::toggled, this, &TfrmQueryCDDB::UpdateControls);
  connect(edEmail, &QLineEdit::textChanged, this, &TfrmQueryCDDB::UpdateControls);
  connect(btQuery, &QPushButton::clicked, this, &TfrmQueryCDDB::btQueryClick);
  connect(btClose, &QPushButton::clicked, this, &QDialog::reject);
  connect(btDefault, &QPushButton::clicked, this, &TfrmQueryCDDB::btDefaultClick);
  UpdateControls();
  TranslateWhenFirstShown(this);
}

void TfrmQueryCDDB::showEvent(QShowEvent* event) {
  if (!shown_) {
    shown_ = true;
    FormShow();
  }
  QDialog::showEvent(event);
}

void TfrmQueryCDDB::FormShow() {
  for (const char* server : kCddbServers) cbServer->addItem(QString::fromLatin1(server));
  const TSettings& settings = Settings();
  const int listed = cbServer->findText(settings.Server, Qt::MatchExactly | Qt::MatchCaseSensitive);
  cbServer->setCurrentIndex(listed >= 0 ? listed : 0);
  // A server of the user's own stays what it is, even though the list does not offer it.
  if (listed < 0 && !settings.Server.trimmed().isEmpty()) cbServer->setEditText(settings.Server);
  edScript->setText(settings.Script);
  edEmail->setText(settings.Email);
  cbUseProxy->setChecked(settings.UseProxy);
  edProxyAddress->setText(settings.ProxyAddress);
  edProxyPort->setText(settings.Port);
  UpdateControls();
}

void TfrmQueryCDDB::UpdateControls() {
  for (QWidget* proxyPart : {static_cast<QWidget*>(proxyAddressLabel_), static_cast<QWidget*>(edProxyAddress),
                             static_cast<QWidget*>(proxyPortLabel_), static_cast<QWidget*>(edProxyPort)})
    proxyPart->setEnabled(cbUseProxy->isChecked());
  const bool haveEmail = !edEmail->text().trimmed().isEmpty();
  lblEmailHint->setVisible(!haveEmail);
  btQuery->setEnabled(haveEmail);
}

void TfrmQueryCDDB::btDefaultClick() {
  cbServer->setCurrentIndex(0);
  edScript->setText(QString::fromLatin1(kCddbDefaultScript));
  cbUseProxy->setChecked(false);
}

void TfrmQueryCDDB::btQueryClick() {
  if (!btQuery->isEnabled()) return;
  TSettings& settings = Settings();
  settings.Server = cbServer->currentText().trimmed();
  settings.Script = edScript->text().trimmed();
  settings.Email = edEmail->text().trimmed();
  settings.UseProxy = cbUseProxy->isChecked();
  settings.ProxyAddress = edProxyAddress->text().trimmed();
  settings.Port = edProxyPort->text().trimmed();
  TfrmStopQuery progress(this, toc_, disc_, rowTitles_);
  if (progress.exec() == QDialog::Accepted) accept();
}

}  // namespace trackmill
