#include "ui/qt/transform_icon_view.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include "iconmaker/frm_transform_icon.h"
#include "ui/qt/qt_user_interface.h"
#include "ui/qt/surface_image.h"
#include "ui/qt/view_metrics.h"

namespace plumage::qt {

namespace L = transform_icon_layout;

TransformIconView::TransformIconView(frmTransformIcon& form, QWidget* parent)
    : QDialog(parent), form_(form) {
  setObjectName(QStringLiteral("frmTransformIcon"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  const ViewMetrics m(this);
  auto place = [&m](QWidget* w, const L::Box& b) {
    w->setGeometry(m.Px(b.x), m.Px(b.y), m.Px(b.w), m.Px(b.h));
  };
  setFixedSize(m.Px(L::kClientWidth), m.Px(L::kClientHeight));
  setFont(m.DialogFont(font()));

  Frame1_ = new QGroupBox(this);
  Frame1_->setObjectName(QStringLiteral("Frame1"));
  place(Frame1_, L::kFrame1);
  ListView_ = new QListWidget(Frame1_);
  ListView_->setObjectName(QStringLiteral("ListView"));
  ListView_->setViewMode(QListView::IconMode);
  ListView_->setIconSize(QSize(32, 32));
  ListView_->setMovement(QListView::Static);
  ListView_->setResizeMode(QListView::Adjust);
  place(ListView_, L::kListView);

  frame2_ = new QGroupBox(this);
  frame2_->setObjectName(QStringLiteral("frame2"));
  place(frame2_, L::kFrame2);
  IconName_ = new QLineEdit(frame2_);
  IconName_->setObjectName(QStringLiteral("IconName"));
  place(IconName_, L::kIconName);
  IconName_->installEventFilter(this);

  BtnOk_ = new QPushButton(this);
  BtnOk_->setObjectName(QStringLiteral("BtnOk"));
  BtnOk_->setDefault(true);  // the Enter key
  place(BtnOk_, L::kBtnOk);
  BtnCancel_ = new QPushButton(this);
  BtnCancel_->setObjectName(QStringLiteral("BtnCancel"));
  BtnCancel_->setAutoDefault(false);
  place(BtnCancel_, L::kBtnCancel);

  Label1_ = new QLabel(this);
  Label1_->setObjectName(QStringLiteral("Label1"));
  Label1_->setTextFormat(Qt::PlainText);
  Label1_->setWordWrap(true);
  Label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  place(Label1_, L::kLabel1);

  connect(ListView_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!refreshing_ && row >= 0) form_.ListView_ItemClick(row + 1);
  });
  connect(IconName_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (!refreshing_) form_.IconName = FromQt(text);
  });
  connect(BtnOk_, &QPushButton::clicked, this, [this] { form_.BtnOk_Click(); });
  connect(BtnCancel_, &QPushButton::clicked, this, [this] { form_.BtnCancel_Click(); });

  form_.SetObserver(this);
  FormChanged();
}

TransformIconView::~TransformIconView() {
  form_.SetObserver(nullptr);
}

void TransformIconView::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The candidates are drawn once the window is up, so that a message about
  // an icon that cannot be drawn appears over it.
  if (painted_) return;
  painted_ = true;
  QTimer::singleShot(0, this, [this] {
    if (!form_.Unloaded()) form_.Form_Paint();
  });
}

bool TransformIconView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == IconName_ && event->type() == QEvent::KeyPress) {
    const QString text = static_cast<QKeyEvent*>(event)->text();
    if (text.size() == 1 && text[0].unicode() < 128 &&
        form_.IconName_KeyPress(static_cast<char>(text[0].unicode())) == 0)
      return true;  // refused, and the form has beeped
  }
  return QDialog::eventFilter(watched, event);
}

void TransformIconView::RebuildList() {
  listVersion_ = form_.ListView.Version;
  ListView_->clear();
  for (const auto& entry : form_.ListView.ListItems) {
    auto* item = new QListWidgetItem(ToQt(entry.Text), ListView_);
    if (!entry.Name.empty()) item->setData(Qt::AccessibleTextRole, ToQt(entry.Name));
    if (!form_.ListView.BlankAttached && entry.Icon >= 1 &&
        entry.Icon <= static_cast<int>(form_.IconList.size()))
      item->setIcon(QIcon(
          QPixmap::fromImage(ToQImage(form_.IconList[static_cast<std::size_t>(entry.Icon - 1)]))));
  }
}

void TransformIconView::FormChanged() {
  refreshing_ = true;
  setWindowTitle(ToQt(form_.Caption.Title));
  Frame1_->setTitle(ToQt(form_.Caption.Frame1));
  frame2_->setTitle(ToQt(form_.Caption.frame2));
  BtnOk_->setText(ToQt(form_.Caption.BtnOk));
  BtnCancel_->setText(ToQt(form_.Caption.BtnCancel));
  Label1_->setText(ToQt(form_.Caption.Label1));
  if (IconName_->text() != ToQt(form_.IconName)) IconName_->setText(ToQt(form_.IconName));
  if (listVersion_ != form_.ListView.Version) RebuildList();
  const int selected = form_.ListView.SelectedItem;
  if (selected >= 1 && selected <= ListView_->count())
    ListView_->setCurrentRow(selected - 1);
  else
    ListView_->setCurrentRow(-1);
  refreshing_ = false;
}

void TransformIconView::FormClosed() {
  QDialog::done(QDialog::Rejected);
}

void TransformIconView::reject() {
  // Esc and the close box are Cancel.
  if (!form_.Unloaded())
    form_.BtnCancel_Click();
  else
    QDialog::reject();
}

void ShowTransformIconDialog(Program& program, QtUserInterface& ui, ChangeIcon& picker) {
  frmTransformIcon form(program, ui, picker);
  QWidget* opener = ui.parentWindow();
  TransformIconView view(form, ui.Owner());
  ui.SetParentWindow(&view);
  form.Form_Load();
  if (!form.Unloaded()) view.exec();
  ui.SetParentWindow(opener);
}

}  // namespace plumage::qt

// Generated by moc; kept in this object so that linking the dialog pulls in
// no other view.
#include "moc_transform_icon_view.cpp"
