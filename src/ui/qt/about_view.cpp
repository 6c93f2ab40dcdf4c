#include "ui/qt/about_view.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/frm_about.h"
#include "ui/qt/about_logo.h"
#include "ui/qt/qt_user_interface.h"
#include "ui/qt/view_metrics.h"

namespace plumage::qt {

namespace {

// Two lines, grey over white, that read as one line cut into the face.
class EtchedLine : public QWidget {
 public:
  explicit EtchedLine(QWidget* parent) : QWidget(parent) {
    setFixedHeight(2);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setPen(QColor(128, 128, 128));
    p.drawLine(0, 0, width() - 1, 0);
    p.setPen(QColor(255, 255, 255));
    p.drawLine(0, 1, width() - 1, 1);
  }
};

QLabel* NamedLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  return label;
}

}  // namespace

AboutView::AboutView(frmAbout& form, QWidget* parent) : QDialog(parent), form_(form) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  const ViewMetrics m(this);

  picIcon_ = NamedLabel(this, "picIcon");
  const QImage logo = DrawPlumageLogo();
  picIcon_->setPixmap(QPixmap::fromImage(logo.scaled(
      m.Px(kLogoWidth), m.Px(kLogoHeight), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
  picIcon_->setFixedSize(m.Px(kLogoWidth), m.Px(kLogoHeight));

  lblTitle_ = NamedLabel(this, "lblTitle");
  QFont title = font();
  title.setBold(true);
  title.setPointSizeF(9.75);
  lblTitle_->setFont(title);
  lblVersion_ = NamedLabel(this, "lblVersion");
  Label1_ = NamedLabel(this, "Label1");
  Label1_->setWordWrap(true);
  Label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  Label4_ = NamedLabel(this, "Label4");
  Label5_ = NamedLabel(this, "Label5");
  QFont link = font();
  link.setUnderline(true);
  link.setPointSizeF(8.25);
  Label5_->setFont(link);
  QPalette linkColour = Label5_->palette();
  linkColour.setColor(QPalette::WindowText, QColor(0, 0, 255));
  Label5_->setPalette(linkColour);
  Label5_->setCursor(Qt::UpArrowCursor);
  Label5_->installEventFilter(this);

  lblDescription_ = NamedLabel(this, "lblDescription");
  lblDescription_->setWordWrap(true);

  cmdOK_ = new QPushButton(this);
  cmdOK_->setObjectName(QStringLiteral("cmdOK"));
  cmdOK_->setMinimumSize(m.Px(81), m.Px(25));
  cmdOK_->setDefault(true);

  // The logo at the top left; the title, version and credit to its right.
  auto* top = new QGridLayout;
  top->setHorizontalSpacing(m.Px(12));
  top->addWidget(picIcon_, 0, 0, 4, 1, Qt::AlignTop);
  top->addWidget(lblTitle_, 0, 1);
  top->addWidget(lblVersion_, 1, 1);
  top->addWidget(Label1_, 2, 1);
  top->setRowStretch(3, 1);
  top->setColumnStretch(1, 1);

  auto* website = new QHBoxLayout;
  website->addWidget(Label4_);
  website->addWidget(Label5_);
  website->addStretch(1);

  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(cmdOK_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(m.Px(10), m.Px(10), m.Px(10), m.Px(10));
  layout->addLayout(top);
  layout->addSpacing(m.Px(6));
  layout->addLayout(website);
  layout->addWidget(lblDescription_);
  layout->addSpacing(m.Px(4));
  layout->addWidget(new EtchedLine(this));
  layout->addLayout(bottom);
  setFixedWidth(m.Px(440));

  connect(cmdOK_, &QPushButton::clicked, this, [this] { form_.cmdOK_Click(); });

  form_.SetObserver(this);
  FormChanged();
}

AboutView::~AboutView() {
  form_.SetObserver(nullptr);
}

void AboutView::FormChanged() {
  setWindowTitle(ToQt(form_.Caption));
  lblTitle_->setText(ToQt(form_.lblTitle.Caption));
  lblVersion_->setText(ToQt(form_.lblVersion.Caption));
  Label1_->setText(ToQt(form_.Label1.Caption));
  Label4_->setText(ToQt(form_.Label4.Caption));
  Label5_->setText(ToQt(form_.Label5[0].Caption));
  lblDescription_->setText(ToQt(form_.lblDescription.Caption));
  cmdOK_->setText(ToQt(form_.cmdOK.Caption));
}

void AboutView::FormClosed() {
  QDialog::done(QDialog::Accepted);
}

void AboutView::reject() {
  // Esc and the close box close the box as OK does.
  if (!form_.Unloaded())
    form_.cmdOK_Click();
  else
    QDialog::reject();
}

bool AboutView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Label5_ && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    form_.Label5_Click(0);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void ShowAboutDialog(Program& program, QtUserInterface& ui) {
  frmAbout form(program, ui);
  QWidget* opener = ui.parentWindow();
  AboutView view(form, ui.Owner());
  ui.SetParentWindow(&view);
  form.Form_Load();
  if (!form.Unloaded()) view.exec();
  ui.SetParentWindow(opener);
}

}  // namespace plumage::qt

// Generated by moc; kept in this object so that linking the dialog pulls in
// no other view.
#include "moc_about_view.cpp"
