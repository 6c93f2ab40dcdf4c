#include "ui/qt/options_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "dialogs/frm_options.h"
#include "ui/qt/qt_user_interface.h"
#include "ui/qt/view_metrics.h"

namespace plumage::qt {

namespace {
template <typename W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}
}  // namespace

OptionsView::OptionsView(frmOptions& form, QWidget* parent) : QDialog(parent), form_(form) {
  setObjectName(QStringLiteral("frmOptions"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  const ViewMetrics m(this);

  // Options: the default library, with its note, and the reminder switch.
  Frame1_ = Named(new QGroupBox(this), "Frame1");
  Label3_ = Named(new QLabel(Frame1_), "Label3");
  DefaultLib_ = Named(new QLineEdit(Frame1_), "DefaultLib");
  BrowseLibButton_ = Named(new QPushButton(Frame1_), "BrowseLibButton");
  Label4_ = Named(new QLabel(Frame1_), "Label4");
  Label4_->setWordWrap(true);
  NoWarningBox_ = Named(new QCheckBox(Frame1_), "NoWarningBox");
  KeepInsideBox_ = Named(new QCheckBox(Frame1_), "KeepInsideBox");
  auto* libRow = new QHBoxLayout;
  libRow->addWidget(DefaultLib_, 1);
  libRow->addWidget(BrowseLibButton_);
  auto* frame1 = new QVBoxLayout(Frame1_);
  frame1->addWidget(Label3_);
  frame1->addLayout(libRow);
  frame1->addWidget(Label4_);
  frame1->addWidget(NoWarningBox_);
  frame1->addWidget(KeepInsideBox_);

  // Language: the two option buttons side by side.
  Frame2_ = Named(new QGroupBox(this), "Frame2");
  Lang_[0] = Named(new QRadioButton(Frame2_), "Lang0");
  Lang_[1] = Named(new QRadioButton(Frame2_), "Lang1");
  auto* frame2 = new QHBoxLayout(Frame2_);
  frame2->addWidget(Lang_[0]);
  frame2->addWidget(Lang_[1]);
  frame2->addStretch(1);

  // System settings: the cache size, the colour depth, and the two cache
  // buttons.
  Frame3_ = Named(new QGroupBox(this), "Frame3");
  Label5_ = Named(new QLabel(Frame3_), "Label5");
  CacheSize_ = Named(new QComboBox(Frame3_), "CacheSize");
  CacheSize_->setEditable(false);
  CacheSize_->setMinimumWidth(m.Px(160));
  Colors_ = Named(new QCheckBox(Frame3_), "Colors");
  RebuildButton_ = Named(new QPushButton(Frame3_), "RebuildButton");
  DeleteButton_ = Named(new QPushButton(Frame3_), "DeleteButton");
  auto* sizeRow = new QHBoxLayout;
  sizeRow->addWidget(Label5_);
  sizeRow->addWidget(CacheSize_);
  sizeRow->addStretch(1);
  auto* cacheButtons = new QHBoxLayout;
  cacheButtons->addWidget(RebuildButton_);
  cacheButtons->addWidget(DeleteButton_);
  cacheButtons->addStretch(1);
  auto* frame3 = new QVBoxLayout(Frame3_);
  frame3->addLayout(sizeRow);
  frame3->addWidget(Colors_);
  frame3->addLayout(cacheButtons);

  // The bottom row: OK and Cancel on the left, About... on the right.
  cmdOK_ = Named(new QPushButton(this), "cmdOK");
  cmdCancel_ = Named(new QPushButton(this), "cmdCancel");
  AboutBox_ = Named(new QPushButton(this), "AboutBox");
  for (QPushButton* b : {cmdOK_, cmdCancel_, AboutBox_}) b->setMinimumSize(m.Px(81), m.Px(25));
  for (QPushButton* b : {BrowseLibButton_, RebuildButton_, DeleteButton_, cmdCancel_, AboutBox_})
    b->setAutoDefault(false);
  cmdOK_->setDefault(true);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(cmdOK_);
  bottom->addWidget(cmdCancel_);
  bottom->addStretch(1);
  bottom->addWidget(AboutBox_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(m.Px(8), m.Px(8), m.Px(8), m.Px(8));
  layout->addWidget(Frame1_);
  layout->addWidget(Frame2_);
  layout->addWidget(Frame3_);
  layout->addLayout(bottom);
  setMinimumWidth(m.Px(440));

  // What the user does goes into the form's controls; only the buttons call
  // handlers. Nothing here decides anything.
  connect(DefaultLib_, &QLineEdit::textEdited, this,
          [this](const QString& text) { form_.DefaultLib.Text = FromQt(text); });
  connect(KeepInsideBox_, &QCheckBox::toggled, this, [this](bool on) {
    if (!refreshing_) form_.KeepInsideBox.Value = on ? 1 : 0;
  });
  connect(NoWarningBox_, &QCheckBox::toggled, this, [this](bool on) {
    if (!refreshing_) form_.NoWarningBox.Value = on ? 1 : 0;
  });
  connect(Colors_, &QCheckBox::toggled, this, [this](bool on) {
    if (!refreshing_) form_.Colors.Value = on ? 1 : 0;
  });
  for (int i = 0; i < 2; ++i)
    connect(Lang_[i], &QRadioButton::toggled, this, [this, i](bool on) {
      if (!refreshing_) form_.Lang[i].Value = on;
    });
  connect(CacheSize_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!refreshing_) form_.CacheSize.ListIndex = index;
  });
  connect(BrowseLibButton_, &QPushButton::clicked, this, [this] { form_.BrowseLibButton_Click(); });
  connect(RebuildButton_, &QPushButton::clicked, this, [this] { form_.RebuildButton_Click(); });
  connect(DeleteButton_, &QPushButton::clicked, this, [this] { form_.DeleteButton_Click(); });
  connect(cmdOK_, &QPushButton::clicked, this, [this] { form_.cmdOK_Click(); });
  connect(cmdCancel_, &QPushButton::clicked, this, [this] { form_.cmdCancel_Click(); });
  connect(AboutBox_, &QPushButton::clicked, this, [this] { form_.AboutBox_Click(); });

  form_.SetObserver(this);
  FormChanged();
}

OptionsView::~OptionsView() {
  form_.SetObserver(nullptr);
}

void OptionsView::FormChanged() {
  refreshing_ = true;
  setWindowTitle(ToQt(form_.Caption));
  Frame1_->setTitle(ToQt(form_.Frame1.Caption));
  Label3_->setText(ToQt(form_.Label3.Caption));
  if (DefaultLib_->text() != ToQt(form_.DefaultLib.Text))
    DefaultLib_->setText(ToQt(form_.DefaultLib.Text));
  BrowseLibButton_->setText(ToQt(form_.BrowseLibButton.Caption));
  Label4_->setText(ToQt(form_.Label4.Caption));
  NoWarningBox_->setText(ToQt(form_.NoWarningBox.Caption));
  NoWarningBox_->setChecked(form_.NoWarningBox.Value == 1);
  KeepInsideBox_->setText(ToQt(form_.KeepInsideBox.Caption));
  KeepInsideBox_->setChecked(form_.KeepInsideBox.Value == 1);
  Frame2_->setTitle(ToQt(form_.Frame2.Caption));
  for (int i = 0; i < 2; ++i) {
    Lang_[i]->setText(ToQt(form_.Lang[i].Caption));
    Lang_[i]->setChecked(form_.Lang[i].Value);
  }
  Frame3_->setTitle(ToQt(form_.Frame3.Caption));
  Label5_->setText(ToQt(form_.Label5.Caption));
  QStringList items;
  for (const auto& item : form_.CacheSize.Items) items << ToQt(item);
  QStringList shown;
  for (int i = 0; i < CacheSize_->count(); ++i) shown << CacheSize_->itemText(i);
  if (shown != items) {
    CacheSize_->clear();
    CacheSize_->addItems(items);
  }
  CacheSize_->setCurrentIndex(form_.CacheSize.ListIndex);
  Colors_->setText(ToQt(form_.Colors.Caption));
  Colors_->setChecked(form_.Colors.Value == 1);
  RebuildButton_->setText(ToQt(form_.RebuildButton.Caption));
  DeleteButton_->setText(ToQt(form_.DeleteButton.Caption));
  cmdOK_->setText(ToQt(form_.cmdOK.Caption));
  cmdCancel_->setText(ToQt(form_.cmdCancel.Caption));
  AboutBox_->setText(ToQt(form_.AboutBox.Caption));
  refreshing_ = false;
}

void OptionsView::FormClosed() {
  QDialog::done(QDialog::Accepted);
}

void OptionsView::reject() {
  // Esc and the window's close box: the same as Cancel.
  if (!form_.Unloaded())
    form_.cmdCancel_Click();
  else
    QDialog::reject();
}

void OptionsView::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Centred on the screen, also when the picker is its parent.
  if (QScreen* s = screen()) {
    const QRect area = s->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
  }
}

void ShowOptionsDialog(Program& program, QtUserInterface& ui) {
  frmOptions form(program, ui);
  QWidget* opener = ui.parentWindow();
  OptionsView view(form, ui.Owner());
  // Message boxes and the about box open over the settings dialog.
  ui.SetParentWindow(&view);
  form.Form_Load();
  if (!form.Unloaded()) view.exec();
  ui.SetParentWindow(opener);
}

}  // namespace plumage::qt

// Generated by moc; kept in this object so that linking the dialog pulls in
// no other view.
#include "moc_options_view.cpp"
