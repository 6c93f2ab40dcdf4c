#include "ui/qt/change_icon_view.h"

#include <QAbstractButton>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <cmath>
#include <cstdlib>
#include <iterator>

#include "picker/change_icon.h"
#include "ui/qt/artwork.h"
#include "ui/qt/qt_user_interface.h"
#include "ui/qt/surface_image.h"

namespace plumage::qt {

namespace L = change_icon_layout;

namespace {

// A picture that is a button: it takes the focus by Tab, answers Space as a
// click, draws the focus frame, and is a button to a screen reader; the
// picture itself is drawn as it is, without a button's face.
class PictureButton : public QAbstractButton {
 public:
  PictureButton(const QPixmap& picture, QWidget* parent)
      : QAbstractButton(parent), picture_(picture) {
    setFocusPolicy(Qt::StrongFocus);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawPixmap(rect(), picture_);
    if (hasFocus()) {
      QStyleOptionFocusRect focus;
      focus.initFrom(this);
      style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
  }
  void keyPressEvent(QKeyEvent* event) override {
    // Enter, as well as Space, opens what the picture opens.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      click();
      return;
    }
    QAbstractButton::keyPressEvent(event);
  }

 private:
  QPixmap picture_;
};

}  // namespace

ChangeIconView::ChangeIconView(ChangeIcon& form, QWidget* parent)
    : QDialog(parent), form_(form) {
  // Positions are pixels at 96 dpi, scaled with the screen.
  if (QScreen* s = screen()) scale_ = s->logicalDotsPerInch() / 96.0;
  setWindowIcon(ProgramIcon());
  // On a screen with more device pixels to the point, the list's pictures
  // are drawn that much larger from the icons' own larger images.
  const qreal ratio = devicePixelRatioF();
  form_.PictureScale = ratio > 1 ? static_cast<int>(std::ceil(ratio)) : 1;
  // The dialog's sizes were laid out for an 8-point sans serif at 96 dpi
  // (11 pixels); a larger desktop font would spill out of its controls.
  QFont small = font();
  small.setPixelSize(static_cast<int>(11 * scale_ + 0.5));
  setFont(small);
  setFixedSize(static_cast<int>(L::kClientWidth * scale_), static_cast<int>(L::kClientHeight * scale_));
  setModal(false);

  label1_ = new QGroupBox(this);
  Place(label1_, L::kLabel1.x, L::kLabel1.y, L::kLabel1.w, L::kLabel1.h);
  label2_ = new QLabel(label1_);
  Place(label2_, L::kLabel2.x, L::kLabel2.y, L::kLabel2.w, L::kLabel2.h);
  selectedIcon_ = new QLineEdit(label1_);
  selectedIcon_->setObjectName("SelectedIcon");
  Place(selectedIcon_, L::kSelectedIcon.x, L::kSelectedIcon.y, L::kSelectedIcon.w, L::kSelectedIcon.h);
  selectedIcon_->installEventFilter(this);
  label3_ = new QLabel(label1_);
  Place(label3_, L::kLabel3.x, L::kLabel3.y, L::kLabel3.w, L::kLabel3.h);
  selectedNo_ = new QLabel(label1_);
  selectedNo_->setObjectName("SelectedNo");
  selectedNo_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  selectedNo_->setAutoFillBackground(true);
  selectedNo_->setBackgroundRole(QPalette::Window);
  Place(selectedNo_, L::kSelectedNo.x, L::kSelectedNo.y, L::kSelectedNo.w, L::kSelectedNo.h);
  image1_ = new PictureButton(Image1Art(ratio), label1_);
  image1_->setObjectName("Image1");
  image1_->setCursor(Qt::PointingHandCursor);
  Place(image1_, L::kImage1.x, L::kImage1.y, L::kImage1.w, L::kImage1.h);
  listView_ = new QListWidget(label1_);
  listView_->setObjectName("ListView");
  listView_->setViewMode(QListView::IconMode);
  listView_->setIconSize(QSize(32, 32));
  listView_->setResizeMode(QListView::Adjust);
  listView_->setMovement(QListView::Static);
  listView_->setSelectionMode(QAbstractItemView::SingleSelection);
  listView_->setGridSize(QSize(static_cast<int>(56 * scale_), static_cast<int>(56 * scale_)));
  Place(listView_, L::kListView.x, L::kListView.y, L::kListView.w, L::kListView.h);
  listView_->installEventFilter(this);
  browseButton_ = new QPushButton(label1_);
  browseButton_->setObjectName("BrowseButton");
  Place(browseButton_, L::kBrowseButton.x, L::kBrowseButton.y, L::kBrowseButton.w, L::kBrowseButton.h);

  frame1_ = new QGroupBox(this);
  Place(frame1_, L::kFrame1.x, L::kFrame1.y, L::kFrame1.w, L::kFrame1.h);
  btnAutoCreate_ = new QPushButton(frame1_);
  btnAutoCreate_->setObjectName("BtnAutoCreate");
  Place(btnAutoCreate_, L::kBtnAutoCreate.x, L::kBtnAutoCreate.y, L::kBtnAutoCreate.w, L::kBtnAutoCreate.h);
  picture3_ = new QLabel(frame1_);
  picture3_->setPixmap(Picture3Art(ratio));
  Place(picture3_, L::kPicture3.x, L::kPicture3.y, L::kPicture3.w, L::kPicture3.h);
  buttonCreate_ = new QPushButton(frame1_);
  buttonCreate_->setObjectName("ButtonCreate");
  Place(buttonCreate_, L::kButtonCreate.x, L::kButtonCreate.y, L::kButtonCreate.w, L::kButtonCreate.h);

  okButton_ = new QPushButton(this);
  okButton_->setObjectName("OKButton");
  Place(okButton_, L::kOKButton.x, L::kOKButton.y, L::kOKButton.w, L::kOKButton.h);
  removeButton_ = new QPushButton(this);
  removeButton_->setObjectName("RemoveButton");
  Place(removeButton_, L::kRemoveButton.x, L::kRemoveButton.y, L::kRemoveButton.w, L::kRemoveButton.h);
  cancelButton_ = new QPushButton(this);
  cancelButton_->setObjectName("CancelButton");
  Place(cancelButton_, L::kCancelButton.x, L::kCancelButton.y, L::kCancelButton.w, L::kCancelButton.h);
  optionButton_ = new QPushButton(this);
  optionButton_->setObjectName("OptionButton");
  Place(optionButton_, L::kOptionButton.x, L::kOptionButton.y, L::kOptionButton.w, L::kOptionButton.h);
  for (QPushButton* b : {browseButton_, btnAutoCreate_, buttonCreate_, okButton_, removeButton_,
                         cancelButton_, optionButton_})
    b->setAutoDefault(false);
  // Tab follows the dialog's table: the file name, the logo, the list and
  // the buttons from Browse to Settings.
  QWidget* const order[] = {selectedIcon_, image1_,      listView_,     browseButton_,
                            btnAutoCreate_, buttonCreate_, okButton_,    removeButton_,
                            cancelButton_,  optionButton_};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

  connect(browseButton_, &QPushButton::clicked, this, [this] { form_.BrowseButton_Click(); });
  connect(btnAutoCreate_, &QPushButton::clicked, this, [this] { form_.BtnAutoCreate_Click(); });
  connect(buttonCreate_, &QPushButton::clicked, this, [this] { form_.ButtonCreate_Click(); });
  connect(okButton_, &QPushButton::clicked, this, [this] { form_.OKButton_Click(); });
  connect(removeButton_, &QPushButton::clicked, this, [this] { form_.RemoveButton_Click(); });
  connect(cancelButton_, &QPushButton::clicked, this, [this] { form_.CancelButton_Click(); });
  connect(optionButton_, &QPushButton::clicked, this, [this] { form_.OptionButton_Click(); });
  connect(image1_, &QAbstractButton::clicked, this, [this] { form_.Image1_Click(); });
  connect(listView_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    form_.ListView_ItemClick(listView_->row(item) + 1);
  });
  // An entry selected by the keyboard (arrows, Home, End, Page Up and Down)
  // is chosen as a click chooses it. The mere focus of the list, which
  // makes an entry current without selecting it, chooses nothing.
  connect(listView_, &QListWidget::itemSelectionChanged, this, [this] {
    if (syncing_) return;
    const QList<QListWidgetItem*> selected = listView_->selectedItems();
    if (selected.size() == 1) form_.ListView_ItemClick(listView_->row(selected.front()) + 1);
  });
  connect(listView_, &QListWidget::itemDoubleClicked, this, [this] { form_.ListView_DblClick(); });
  // Text changed by other means than typing (Delete key, paste from the
  // context menu) still reaches the form.
  connect(selectedIcon_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (syncing_) return;
    form_.SelectedIcon = FromQt(text);
    form_.SelectedIcon_Change();
  });

  form_.SetObserver(this);
  FormChanged();
}

ChangeIconView::~ChangeIconView() { form_.SetObserver(nullptr); }

void ChangeIconView::Place(QWidget* w, int x, int y, int width, int height) {
  w->setGeometry(static_cast<int>(x * scale_), static_cast<int>(y * scale_),
                 static_cast<int>(width * scale_), static_cast<int>(height * scale_));
}

QPushButton* ChangeIconView::button(const char* name) const {
  return findChild<QPushButton*>(QString::fromLatin1(name));
}

bool ChangeIconView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == selectedIcon_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    // Every character typed (Backspace and control characters such as the
    // paste shortcut included) goes to the form, which keeps none; editing
    // keys that type nothing (Delete, arrows) still work.
    // Tab and Shift+Tab move the focus on; they type nothing.
    const QString text = key->text();
    const int k = key->key();
    if (!text.isEmpty() && k != Qt::Key_Delete && k != Qt::Key_Escape && k != Qt::Key_Return &&
        k != Qt::Key_Enter && k != Qt::Key_Tab && k != Qt::Key_Backtab) {
      const char kept = form_.SelectedIcon_KeyPress(static_cast<char>(text.at(0).unicode() & 0x7F));
      if (kept == 0) return true;
    }
  }
  if (watched == listView_ && event->type() == QEvent::KeyPress) {
    // Enter on an entry is a click on it.
    const int k = static_cast<QKeyEvent*>(event)->key();
    QListWidgetItem* current = listView_->currentItem();
    if ((k == Qt::Key_Return || k == Qt::Key_Enter) && current) {
      form_.ListView_ItemClick(listView_->row(current) + 1);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void ChangeIconView::reject() {
  if (closedByForm_) {
    QDialog::reject();
    return;
  }
  form_.CancelButton_Click();
}

void ChangeIconView::FormChanged() {
  syncing_ = true;
  const auto& c = form_.Caption;
  setWindowTitle(ToQt(c.Title));
  label1_->setTitle(ToQt(c.Label1));
  label2_->setText(ToQt(c.Label2));
  label3_->setText(ToQt(c.Label3));
  browseButton_->setText(ToQt(c.BrowseButton));
  frame1_->setTitle(ToQt(c.Frame1));
  btnAutoCreate_->setText(FolderCaption(ToQt(c.BtnAutoCreate)));
  image1_->setAccessibleName(ToQt(c.Image1));
  picture3_->setAccessibleName(ToQt(c.Picture3));
  buttonCreate_->setText(Wrapped(buttonCreate_, ToQt(c.ButtonCreate)));
  okButton_->setText(ToQt(c.OKButton));
  removeButton_->setText(ToQt(c.RemoveButton));
  cancelButton_->setText(ToQt(c.CancelButton));
  optionButton_->setText(ToQt(c.OptionButton));
  if (selectedIcon_->text() != ToQt(form_.SelectedIcon)) selectedIcon_->setText(ToQt(form_.SelectedIcon));
  selectedNo_->setText(ToQt(form_.SelectedNo));
  buttonCreate_->setEnabled(form_.ButtonCreateEnabled);
  if (listVersion_ != form_.ListView.Version) RebuildList();
  const int selected = form_.ListView.SelectedItem;
  if (selected >= 1 && selected <= listView_->count()) {
    listView_->setCurrentRow(selected - 1);
  } else {
    listView_->clearSelection();
    listView_->setCurrentRow(-1);
  }
  if (form_.ListView.EnsureVisible >= 1 && form_.ListView.EnsureVisible <= listView_->count())
    listView_->scrollToItem(listView_->item(form_.ListView.EnsureVisible - 1));
  syncing_ = false;
}

// A Windows button wraps a caption too wide for it; a Qt button does not,
// so the caption is broken at the blank nearest its middle.
QString ChangeIconView::Wrapped(QPushButton* button, const QString& text) const {
  if (text.contains(QLatin1Char('\n')) ||
      button->fontMetrics().horizontalAdvance(text) <= button->width() - 8)
    return text;
  qsizetype best = -1;
  for (qsizetype i = 0; i < text.size(); ++i)
    if (text[i] == QLatin1Char(' ') &&
        (best < 0 || std::abs(i - text.size() / 2) < std::abs(best - text.size() / 2)))
      best = i;
  if (best < 0) return text;
  QString out = text;
  out[best] = QLatin1Char('\n');
  return out;
}

// The auto-create caption's second line is the quoted folder name; a name
// too long for the button keeps its quotes, its start and its end, and
// loses its middle.
QString ChangeIconView::FolderCaption(const QString& text) const {
  const qsizetype lineBreak = text.indexOf(QLatin1Char('\n'));
  if (lineBreak < 0) return text;
  QString name = text.mid(lineBreak + 1);
  const QFontMetrics metrics = btnAutoCreate_->fontMetrics();
  const int room = btnAutoCreate_->width() - static_cast<int>(8 * scale_);
  if (metrics.horizontalAdvance(name) <= room) return text;
  QString open, close;
  if (name.size() >= 2 && name.front() == QLatin1Char('\'') && name.back() == QLatin1Char('\'')) {
    open = close = QStringLiteral("'");
    name = name.mid(1, name.size() - 2);
  }
  const int quotes = metrics.horizontalAdvance(open + close);
  return text.left(lineBreak + 1) + open +
         metrics.elidedText(name, Qt::ElideMiddle, room - quotes) + close;
}

void ChangeIconView::RebuildList() {
  listVersion_ = form_.ListView.Version;
  listView_->clear();
  for (const auto& entry : form_.ListView.ListItems) {
    auto* item = new QListWidgetItem(ToQt(entry.Text), listView_);
    if (!entry.Name.empty()) item->setData(Qt::AccessibleTextRole, ToQt(entry.Name));
    const bool hasPicture = !form_.ListView.BlankAttached && entry.Icon >= 1 &&
                            entry.Icon <= static_cast<int>(form_.IconList.size());
    if (!hasPicture) continue;
    const auto picture = static_cast<std::size_t>(entry.Icon - 1);
    QPixmap pixmap;
    if (form_.LargeIconList.size() == form_.IconList.size()) {
      pixmap = QPixmap::fromImage(ToQImage(form_.LargeIconList[picture]));
      pixmap.setDevicePixelRatio(form_.PictureScale);
    } else {
      pixmap = QPixmap::fromImage(ToQImage(form_.IconList[picture]));
    }
    item->setIcon(QIcon(pixmap));
  }
}

void ChangeIconView::FormClosed() {
  closedByForm_ = true;
  hide();
  if (onFormClosed) onFormClosed();
}

}  // namespace plumage::qt
