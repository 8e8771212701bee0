// The main window's menu, the menu and tool bands, and the tool-button style.
#include "mainwindow/frmReelwise.h"

#include "core/modReelwise.h"
#include "mainwindow/MainMenu.h"
#include "platform/cPopupMenu.h"
#include "resources/Resources.h"
#include "ui/SchemeColours.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>
#include <functional>

namespace {

// Left and Right in an open menu of the menu bar go to the menu beside it;
// Right on an item with a sub-menu opens that as usual.
class MenuBarSteps : public QObject {
 public:
  MenuBarSteps(QObject* parent, std::function<void(QMenu*, int)> step)
      : QObject(parent), step_(std::move(step)) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* menu = qobject_cast<QMenu*>(watched);
    if (!menu || event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    const QAction* active = menu->activeAction();
    const bool opensSubMenu = active && active->menu() && active->isEnabled();
    if (key->key() == Qt::Key_Left || (key->key() == Qt::Key_Right && !opensSubMenu)) {
      step_(menu, key->key() == Qt::Key_Left ? -1 : 1);
      return true;
    }
    return false;
  }

 private:
  std::function<void(QMenu*, int)> step_;
};

}  // namespace

void frmReelwise::BuildMainMenu() {
  m_cMenu = std::make_unique<cPopupMenu>(this);
  m_cMenu->SetImageList(&imglstMenus);
  m_cMenu->Click = [this](int item) { m_cMenu_Click(item); };
  // An icon is found by its key's place in the stored order of the list.
  const QStringList iconKeys = ImageListKeys(QStringLiteral("imglstMenus"));
  auto icon = [&](const char* key) { return key ? static_cast<int>(iconKeys.indexOf(QLatin1String(key))) : -1; };

  using namespace MainMenu;
  int parents[3] = {0, 0, 0};  // the last item added at each level
  for (const Entry& entry : MainMenuTable()) {
    if (entry.flags & kNoItem) continue;
    const int parent = entry.level > 0 ? parents[entry.level - 1] : 0;
    const bool checked = (entry.flags & kChecked) || ((entry.flags & kWorkspace) && gSaveWorkspace);
    auto add = [&](const QString& key) {
      return m_cMenu->AddItem(QString::fromUtf8(entry.caption), QString(), 0, parent, icon(entry.icon), checked,
                              true, key);
    };
    if (entry.flags & kExternalApps) {
      for (int n = 0; n <= kExternalAppCount; ++n) add(QLatin1String(entry.key) + QString::number(n));
      continue;
    }
    const int item = add(QLatin1String(entry.key));
    parents[entry.level] = item;
    if (entry.flags & kHeader) {
      m_cMenu->SetHeader(item, true);
      m_cMenu->SetVisible(item, false);
    }
    if (entry.flags & kDisabled) m_cMenu->SetEnabled(item, false);
    if (entry.flags & (kRadioOn | kRadioOff)) m_cMenu->SetRadioChecked(item, (entry.flags & kRadioOn) != 0);
  }

  cToolbar1->Buttons.Clear();
  cToolbar1->Buttons.Add(0, QStringLiteral("Dummy"), QStringLiteral("NULL"));
  cToolbar1->SetHeight(tbMain->Height());
  // The menu bar: one button per top-level item, its letter underlined.
  tbrMenu->Buttons.Clear();
  for (int item : m_cMenu->TopLevelItems()) tbrMenu->Buttons.Add(0, m_cMenu->ItemKey(item), m_cMenu->Caption(item));
  ConnectMenuBarKeys();
  BuildRebar();
}

// The keys act while the menu bar shows; TV-Out's carousel has menus of its own.
void frmReelwise::ConnectMenuBarKeys() {
  // The keys and the menus' filter belong to one object: deleting it takes
  // the actions off the window and the filter off the menus.
  delete m_menuBarKeys;
  auto* steps = new MenuBarSteps(this, [this](QMenu* from, int step) { StepMenuBar(from, step); });
  m_menuBarKeys = steps;
  for (int item : m_cMenu->TopLevelItems()) {
    if (QMenu* menu = m_cMenu->Menu(item)) menu->installEventFilter(steps);
    const QKeySequence letter = QKeySequence::mnemonic(m_cMenu->Caption(item));
    if (letter.isEmpty()) continue;
    auto* open = new QAction(steps);
    open->setShortcut(letter);
    addAction(open);
    connect(open, &QAction::triggered, this, [this, key = m_cMenu->ItemKey(item)] {
      if (!gTVOutMode && tbrMenu->isVisible()) OpenMenuBarMenu(key, true);
    });
  }
}

void frmReelwise::OpenMenuBarMenu(const QString& key, bool byKeyboard) {
  QMenu* menu = m_cMenu ? m_cMenu->Menu(m_cMenu->IndexForKey(key)) : nullptr;
  if (!menu || !tbrMenu->Buttons.Exists(key)) return;
  const ctl::Button& button = tbrMenu->Buttons(key);
  menu->popup(tbrMenu->mapToGlobal(QPoint(static_cast<int>(button.Left()), tbrMenu->height())));
  if (!byKeyboard) return;
  for (QAction* action : menu->actions()) {
    if (action->isVisible() && action->isEnabled() && !action->isSeparator()) {
      menu->setActiveAction(action);
      break;
    }
  }
}

// The menu bar's buttons in order, round from the last to the first.
void frmReelwise::StepMenuBar(QMenu* from, int step) {
  const int count = tbrMenu->Buttons.Count();
  for (int i = 1; i <= count; ++i) {
    const QString key = tbrMenu->Buttons(i).Key();
    if (m_cMenu->Menu(m_cMenu->IndexForKey(key)) != from) continue;
    from->close();
    OpenMenuBarMenu(tbrMenu->Buttons((i - 1 + step + count) % count + 1).Key(), true);
    return;
  }
}

// The rebar is as high as its tallest band; the main toolbar lies over it
// from just under the menu bar's text.
void frmReelwise::BuildRebar() {
  if (!m_cMenu) return;
  const int h = m_cMenu->ItemHeight(m_cMenu->IndexForKey(QStringLiteral("mnuLibrary")));
  m_cMenu->SetCustomColours(true, gSchemeColour1, gSchemeColour4, gSchemeColour2);

  // The band background: the top-left corner of the recoloured band picture
  // the colour scheme put in Picture1, stretched.
  const QImage band = Picture1->Picture().isNull() ? LoadResPicture(QStringLiteral("MAIN_TB_BG"), kResBitmap)
                                                   : Picture1->Picture().toImage();
  const QImage corner = band.copy(0, 0, 4, 4).scaled(5, std::max(1, h - 2));
  cReBar1->SetPicture(QPixmap::fromImage(corner));

  tbrMenu->SetHeight(h);
  const double rebarHeight = std::max(tbrMenu->Height(), cToolbar1->Height());
  cReBar1->Move(0, 0, picHolder->Width(), rebarHeight);
  tbrMenu->Move(0, 0, picHolder->Width(), h);
  picHolder->SetHeight(tbrMenu->Height() + rebarHeight - 4);
  tbMain->SetTop(tbrMenu->Height() - 4);
  // The toolbar covers the tool band and the menu bar's blank lower edge.
  tbMain->raise();
  PlaceBannerLogo();
}

// The banner logo at the right end of the menu bar, the trim along the
// bottom of the bands.
void frmReelwise::PlaceBannerLogo() {
  const QSize logo = imgBanner->Picture().size();
  const int height = std::min(logo.height(), picHolder->height());
  picBannerLogo->setGeometry(picHolder->width() - logo.width() - 4, 0, logo.width(), height);
  imgBanner->setGeometry(0, 0, logo.width(), height);
  picBannerLogo->raise();
  shpMenuTrim->setGeometry(0, picHolder->height() - 1, picHolder->width(), 1);
  shpMenuTrim->raise();
}

void frmReelwise::tbrMenu_ButtonClick(ctl::Button& Button) { OpenMenuBarMenu(Button.Key(), false); }

void frmReelwise::m_cMenu_Click(int ItemNumber) { MainToolbarHandler(m_cMenu->ItemKey(ItemNumber)); }

// Errors are passed over: a button without a picture of its own key keeps its picture.
void frmReelwise::SetInterfaceStyle() {
  tbMain->SetImageList(&imglistToolBar);
  for (const auto& button : tbMain->Buttons) {
    if (imglistToolBar.ListImages.Exists(button->Key())) button->SetImage(button->Key());
  }
  tbMain->Buttons(QStringLiteral("UI-STANDARD")).SetValue(m_GUILayout == 1 ? ctl::tbrPressed : ctl::tbrUnpressed);
  tbMain->Buttons(QStringLiteral("UI-ALTERNATE")).SetValue(m_GUILayout == 2 ? ctl::tbrPressed : ctl::tbrUnpressed);
}
