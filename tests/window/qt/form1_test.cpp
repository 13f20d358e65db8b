// The Qt window on the offscreen platform: layout, texts, focus, keys and the controller's
// effects as a user sees them. Ticks are delivered through the timer's own signal, so no test
// waits for real time to pass.
#include "form1.h"

#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <cstdlib>
#include <vector>

#include "controller.h"
#include "key_code.h"
#include "screen_reader.h"
#include "stay_on_top_hint.h"

namespace tempulix {
namespace {

struct OnTopCall {
  WindowHandle handle;
  std::int16_t flag;
};

class Form1Test : public QObject {
  Q_OBJECT

 private:
  std::vector<OnTopCall> calls_;
  std::unique_ptr<Form1> form_;

  QToolButton* button(int number) {
    return form_->findChild<QToolButton*>(QStringLiteral("Command%1").arg(number));
  }
  QLabel* label() { return form_->findChild<QLabel*>(QStringLiteral("l_time")); }
  QTimer* timer() { return form_->findChild<QTimer*>(QStringLiteral("Timer1")); }
  QWindow* window() { return static_cast<QWidget*>(form_.get())->windowHandle(); }
  void ticks(int count) {
    for (int i = 0; i < count && timer()->isActive(); ++i) {
      QVERIFY(QMetaObject::invokeMethod(timer(), "timeout"));
    }
  }
  void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(window(), key, modifiers);
  }
  QWidget* focused() { return QApplication::focusWidget(); }

 private slots:
  void init() {
    calls_.clear();
    form_ = std::make_unique<Form1>([this](WindowHandle& handle, std::int16_t& flag) {
      calls_.push_back({handle, flag});
    });
    form_->show();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    QTRY_VERIFY(!calls_.empty());  // Activate, queued behind the first exposure
  }
  void cleanup() { form_.reset(); }

  void layoutAsDesigned() {
    QCOMPARE(form_->size(), QSize(318, 138));
    QCOMPARE(label()->geometry(), QRect(8, 16, 297, 57));
    const QRect buttons[] = {
        {8, 80, 73, 49}, {96, 80, 73, 49}, {184, 80, 73, 49}, {272, 88, 33, 33}};
    for (int i = 0; i < 4; ++i) {
      QCOMPARE(button(i + 1)->geometry(), buttons[i]);
    }
    form_->resize(500, 300);
    QCOMPARE(button(4)->geometry(), buttons[3]);
    form_->resize(150, 60);
    QCOMPARE(label()->geometry(), QRect(8, 16, 297, 57));
  }

  void designTimeTexts() {
    QCOMPARE(form_->windowTitle(), QStringLiteral("Tempulix - by tempulix.example"));
    QCOMPARE(label()->text(), QStringLiteral("   0:00.0"));
    QCOMPARE(button(1)->text(), QStringLiteral("&Start"));
    QCOMPARE(button(2)->text(), QStringLiteral("S&top"));
    QCOMPARE(button(3)->text(), QStringLiteral("&Reset"));
    QVERIFY(button(4)->text().isEmpty());
    QVERIFY(!form_->windowIcon().isNull());
    for (int i = 1; i <= 4; ++i) {
      QVERIFY2(!button(i)->icon().isNull(), qPrintable(button(i)->objectName()));
      QVERIFY(!button(i)->accessibleName().isEmpty());
    }
    const QIcon exit = button(4)->icon();
    QCOMPARE(exit.pixmap(32, 32, QIcon::Disabled).toImage(), exit.pixmap(32, 32).toImage());
  }

  // The exit button's face is the window-background colour of whatever palette is in force now,
  // light or dark, after any number of changes: drawn, not copied once at start.
  void exitButtonFollowsEveryPaletteChange() {
    QPalette dark = form_->palette();
    dark.setColor(QPalette::Base, QColor(20, 22, 24));
    dark.setColor(QPalette::Button, QColor(41, 44, 48));
    QPalette light = form_->palette();
    light.setColor(QPalette::Base, QColor(250, 250, 250));
    light.setColor(QPalette::Button, QColor(230, 230, 230));
    for (const QPalette* palette : {&dark, &light, &dark}) {
      form_->setPalette(*palette);
      // Inside the frame, in a rounded corner of the picture, where the face shows through.
      const QImage drawn = button(4)->grab().toImage();
      const int face = drawn.pixelColor(2, 2).lightness();
      const int base = palette->color(QPalette::Base).lightness();
      const int otherBase = (palette == &light ? dark : light).color(QPalette::Base).lightness();
      QVERIFY2(std::abs(face - base) < std::abs(face - otherBase),
               qPrintable(QStringLiteral("face lightness %1 on a palette whose base has %2")
                              .arg(face)
                              .arg(base)));
    }
  }

  // A screen reader reads the time as the display's name, the window as a window named by its
  // title, and whether the stopwatch runs from the display's description.
  void accessibleTimeWindowAndState() {
    QAccessibleInterface* display = QAccessible::queryAccessibleInterface(label());
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(form_.get());
    QVERIFY(display && window);
    QCOMPARE(window->role(), QAccessible::Window);
    QCOMPARE(display->text(QAccessible::Name), QStringLiteral("   0:00.0"));
    QCOMPARE(display->text(QAccessible::Description), QStringLiteral("Elapsed time, stopped"));
    key(Qt::Key_S);
    ticks(2);
    QCOMPARE(display->text(QAccessible::Name), QStringLiteral("0:00.2"));
    QCOMPARE(display->text(QAccessible::Description), QStringLiteral("Elapsed time, running"));
    key(Qt::Key_R);
    QCOMPARE(display->text(QAccessible::Description), QStringLiteral("Elapsed time, stopped"));
  }

  // The window's name as screen readers get it: its title only while the time stands still
  // (they would read out every tick), and where Qt can announce nothing, the held time or the
  // reset goes with Start, which takes the focus, as its description. (What is sent to a screen
  // reader is seen by accessibility_test and screen_reader_test: offscreen, Qt sends nothing.)
  void screenReadersGetTheTitleOnceTheTimeStands_data() {
    QTest::addColumn<QString>("keys");  // one after another; a digit: so many ticks
    QTest::addColumn<QString>("windowName");
    QTest::addColumn<QString>("description");  // Start's, where nothing can be announced
    const QString caption = QStringLiteral("Tempulix - by tempulix.example");
    const QString title = QStringLiteral("0:00.2 - Tempulix tempulix.example");
    QTest::newRow("running: the name it had") << "S3" << caption << "";
    QTest::newRow("stopped: the title") << "S2T" << title << "Stopped at 0:00.2";
    QTest::newRow("stopped before a tick") << "ST" << caption << "Stopped at 0:00.0";
    QTest::newRow("reset while running: the title") << "S2R" << title << "0:00.0";
    QTest::newRow("reset while stopped") << "S2TR" << title << "0:00.0";
    QTest::newRow("running again: the name it had") << "S2TS4" << title << "";
  }
  void screenReadersGetTheTitleOnceTheTimeStands() {
    QFETCH(QString, keys);
    QFETCH(QString, windowName);
    QFETCH(QString, description);
    for (const QChar c : keys) {
      if (c.isDigit()) {
        ticks(c.digitValue());
      } else {
        key(static_cast<Qt::Key>(c.unicode()));
      }
      QCoreApplication::processEvents();  // what comes after each handler
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(form_.get())->text(QAccessible::Name),
             windowName);
    const QString expected = screen_reader::canAnnounce() ? QString() : description;
    QCOMPARE(button(1)->accessibleDescription(), expected);
  }

  void timeFontIsLargeAndFixedPitch() {
    const QFontInfo info(label()->font());
    QVERIFY2(info.fixedPitch(), qPrintable(info.family()));
    QCOMPARE(info.pixelSize(), 55);
    QCOMPARE(info.weight(), int(QFont::Normal));
    QVERIFY(!info.italic());
  }

  void startUpFocusAndOnTopOnce() {
    QCOMPARE(focused(), button(1));
    QCOMPARE(calls_.size(), std::size_t{1});
    QCOMPARE(calls_[0].flag, flagTrue);
    QCOMPARE(calls_[0].handle, static_cast<WindowHandle>(form_->winId()));
    // Coming back to the window is not a new Activate: focus and stacking stay as they are.
    button(3)->setFocus();
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    QCOMPARE(calls_.size(), std::size_t{1});
    QCOMPARE(focused(), button(3));
    // Nor is showing it again: Activate comes with the first exposure only.
    form_->hide();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    QTest::qWait(20);
    QCOMPARE(calls_.size(), std::size_t{1});
  }

  // Key events as the X server sends them: Qt's key, the XKB keycode, the layout's keysym.
  // Without an X keymap (offscreen), a foreign letter counts as the US letter on its key.
  void keyCodesOnAnyLayout_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<quint32>("keycode");
    QTest::addColumn<quint32>("keysym");
    QTest::addColumn<int>("expected");
    QTest::newRow("Russian yeru is the S key") << 0x42B << 39u << 0x6d9u << int('S');
    QTest::newRow("Russian ie is the T key") << 0x415 << 28u << 0x6c5u << int('T');
    QTest::newRow("Russian ka is the R key") << 0x41A << 27u << 0x6cbu << int('R');
    QTest::newRow("Greek sigma is the S key") << 0x3A3 << 39u << 0x7f2u << int('S');
    QTest::newRow("Russian ef is the A key") << 0x424 << 38u << 0x6c6u << int('A');
    QTest::newRow("Dvorak S by its own letter") << int(Qt::Key_S) << 47u << 0x73u << int('S');
    QTest::newRow("Dvorak O where QWERTY has S") << int(Qt::Key_O) << 39u << 0x6fu << int('O');
    QTest::newRow("punctuation stays itself")
        << int(Qt::Key_Semicolon) << 39u << 0x3bu << int(Qt::Key_Semicolon);
    QTest::newRow("a foreign letter off the letter rows") << 0x401 << 49u << 0x6a3u << 0x401;
    QTest::newRow("no keycode: nothing to go by") << 0x42B << 0u << 0u << 0x42B;
  }
  void keyCodesOnAnyLayout() {
    QFETCH(int, key);
    QFETCH(quint32, keycode);
    QFETCH(quint32, keysym);
    QFETCH(int, expected);
    const QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, keycode, keysym, 0,
                          QString(QChar(key)).toLower());
    QCOMPARE(controllerKeyCode(event), expected);
  }

  // The same through the window: the Russian layout's S, T and R keys run the handlers.
  void russianLayoutKeysRunTheHandlers() {
    const auto press = [this](int key, quint32 keycode, Qt::KeyboardModifiers modifiers) {
      QKeyEvent event(QEvent::ShortcutOverride, key, modifiers, keycode, 0, 0);
      QCoreApplication::sendEvent(window(), &event);
    };
    for (const auto modifiers : {Qt::NoModifier, Qt::ShiftModifier}) {
      press(0x42B, 39, modifiers);
      QVERIFY(timer()->isActive());
      ticks(3);
      press(0x415, 28, modifiers);
      QVERIFY(!timer()->isActive());
      QCOMPARE(label()->text(), QStringLiteral("0:00.3"));
      press(0x41A, 27, modifiers);
      QCOMPARE(label()->text(), QStringLiteral("0:00.0"));
    }
  }

  void tabOrderWraps() {
    for (int expected : {2, 3, 4, 1, 2}) {
      key(Qt::Key_Tab);
      QCOMPARE(focused(), button(expected));
    }
    key(Qt::Key_Backtab);
    QCOMPARE(focused(), button(1));
  }

  void keysRunTheHandlersWithAnyModifier() {
    const Qt::KeyboardModifiers modifiers[] = {Qt::NoModifier, Qt::ShiftModifier,
                                               Qt::ControlModifier, Qt::AltModifier};
    for (const auto modifier : modifiers) {
      key(Qt::Key_S, modifier);
      QVERIFY(timer()->isActive());
      QCOMPARE(focused(), button(2));
      ticks(2);
      key(Qt::Key_T, modifier);
      QVERIFY(!timer()->isActive());
      QCOMPARE(focused(), button(1));
      key(Qt::Key_R, modifier);
      QCOMPARE(label()->text(), QStringLiteral("0:00.0"));
      QCOMPARE(focused(), button(1));
    }
  }

  void otherKeysDoNothing() {
    for (const Qt::Key other : {Qt::Key_A, Qt::Key_Q, Qt::Key_Escape, Qt::Key_F1}) {
      key(other);
    }
    QVERIFY(!timer()->isActive());
    QCOMPARE(label()->text(), QStringLiteral("   0:00.0"));
  }

  // Space and Enter click the focused button; the focus moves make them alternate Start/Stop.
  void spaceAndEnterClickTheFocusedButton() {
    for (const Qt::Key press : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
      key(press);
      QVERIFY2(timer()->isActive(), "first press starts");
      QCOMPARE(focused(), button(2));
      key(press);
      QVERIFY2(!timer()->isActive(), "second press stops");
      QCOMPARE(focused(), button(1));
    }
  }

  // Alt with the underlined letter clicks the button itself (the key preview runs as well).
  void accessKeysClickTheirButtons() {
    const struct {
      Qt::Key key;
      int button;
    } rows[] = {{Qt::Key_S, 1}, {Qt::Key_T, 2}, {Qt::Key_R, 3}};
    key(Qt::Key_S);
    ticks(4);
    for (const auto& row : rows) {
      QSignalSpy clicked(button(row.button), &QAbstractButton::clicked);
      key(row.key, Qt::AltModifier);
      QTRY_COMPARE(clicked.count(), 1);  // an access key animates the click
    }
    QVERIFY(!timer()->isActive());
    QCOMPARE(focused(), button(1));
    QCOMPARE(label()->text(), QStringLiteral("0:00.0"));
  }

  void accessKeyStartsAndMovesTheFocus() {
    key(Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(focused(), button(2));
    QVERIFY(timer()->isActive());
  }

  void ticksWriteLabelAndTitle() {
    key(Qt::Key_S);
    ticks(3);
    key(Qt::Key_T);
    QCOMPARE(label()->text(), QStringLiteral("0:00.3"));
    QCOMPARE(form_->windowTitle(), QStringLiteral("0:00.3 - Tempulix tempulix.example"));
    key(Qt::Key_S);
    ticks(1);
    QCOMPARE(label()->text(), QStringLiteral("0:00.4"));
    QCOMPARE(form_->windowTitle(), QStringLiteral("0:00.4 - Tempulix tempulix.example"));
  }

  void resetKeepsTheTitle() {
    QTest::mouseClick(button(1), Qt::LeftButton);
    ticks(11);
    QTest::mouseClick(button(3), Qt::LeftButton);
    QVERIFY(!timer()->isActive());
    QCOMPARE(label()->text(), QStringLiteral("0:00.0"));
    QCOMPARE(form_->windowTitle(), QStringLiteral("0:01.0 - Tempulix tempulix.example"));
  }

  // Start while running keeps the period under way instead of beginning a new one.
  void startWhileRunningKeepsTheSchedule() {
    key(Qt::Key_S);
    const int id = timer()->timerId();
    key(Qt::Key_S);
    QCOMPARE(timer()->timerId(), id);
    QCOMPARE(timer()->timerType(), Qt::PreciseTimer);
    QCOMPARE(timer()->interval(), 100);
  }

  void closeTurnsOnTopOff() {
    QVERIFY(form_->close());
    QCOMPARE(calls_.size(), std::size_t{2});
    QCOMPARE(calls_[1].flag, flagFalse);
  }

  // The window stays on top from its first show, whatever the switch does; Qt's switch then sets
  // the hint for exactly flagTrue and clears it for any other flag, on the window the handle
  // names, without moving it, and answers 0 for a handle of no window of the program.
  void stayOnTopHintSwitch() {
    QVERIFY(window()->flags() & Qt::WindowStaysOnTopHint);
    const QRect place = form_->geometry();
    const struct {
      std::int16_t flag;
      bool above;
    } rows[] = {{flagFalse, false}, {flagTrue, true}, {1, false}, {flagTrue, true}, {-2, false}};
    for (const auto& row : rows) {
      WindowHandle handle = form_->winId();
      std::int16_t flag = row.flag;
      setOnTop(handle, flag);
      QCOMPARE(flag, std::int16_t{1});
      QCOMPARE(handle, static_cast<WindowHandle>(form_->winId()));
      QCOMPARE(bool(window()->flags() & Qt::WindowStaysOnTopHint), row.above);
      QCOMPARE(form_->geometry(), place);
    }
    for (WindowHandle none : {WindowHandle{0}, ~WindowHandle{0}}) {
      std::int16_t flag = flagTrue;
      setOnTop(none, flag);
      QCOMPARE(flag, std::int16_t{0});
    }
  }

  void exitEndsWithoutClosing() {
    QTimer::singleShot(0, button(4), [this] { QTest::mouseClick(button(4), Qt::LeftButton); });
    QTimer::singleShot(10000, [] { QCoreApplication::exit(99); });  // guard against a hang
    QCOMPARE(QApplication::exec(), 0);
    QCOMPARE(calls_.size(), std::size_t{1});  // no close: topmost is not switched off
    QVERIFY(!form_->isVisible());
  }
};

}  // namespace
}  // namespace tempulix

QTEST_MAIN(tempulix::Form1Test)
#include "form1_test.moc"
