// Drives the real window as a user would: typing into the name grid, opening a box's list and picking
// an entry, typing into a box. Also the puzzles the window tests type in.
#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QWheelEvent>
#include <array>
#include <memory>
#include <vector>

#include "fake_platform.h"
#include "ui/condition_box.h"
#include "ui/main_window.h"
#include "ui/session.h"

namespace korvane::test {

// One condition row as the user fills it in; an empty text leaves the box alone.
struct Condition {
    QString categoryA, choiceA, relation, categoryB, choiceB, steps = {}, order = {};
};

struct TestPuzzle {
    // Row c - 1 holds category c's name and its five choices.
    std::array<std::array<QString, 6>, 6> grid;
    std::vector<Condition> conditions; // rows 1, 2, ... in order
};

// The classic five-house puzzle: house numbers as category 1, whose order the positional clues use.
inline TestPuzzle Zebra() {
    TestPuzzle p;
    p.grid = {{
        {"Maison", "1", "2", "3", "4", "5"},
        {"Nation", "Anglais", "Espagnol", "Ukrainien", "Norvégien", "Japonais"},
        {"Couleur", "Rouge", "Vert", "Ivoire", "Jaune", "Bleu"},
        {"Animal", "Chien", "Escargots", "Renard", "Cheval", "Zèbre"},
        {"Boisson", "Café", "Thé", "Lait", "Jus", "Eau"},
        {"Cigarette", "Old Gold", "Kools", "Chesterfield", "Lucky Strike", "Parliament"},
    }};
    p.conditions = {
        {"Nation", "Anglais", "Correspond à", "Couleur", "Rouge"},
        {"Nation", "Espagnol", "Correspond à", "Animal", "Chien"},
        {"Boisson", "Café", "Correspond à", "Couleur", "Vert"},
        {"Nation", "Ukrainien", "Correspond à", "Boisson", "Thé"},
        {"Couleur", "Vert", "Voisin droit de", "Couleur", "Ivoire", "1", "1"},
        {"Cigarette", "Old Gold", "Correspond à", "Animal", "Escargots"},
        {"Cigarette", "Kools", "Correspond à", "Couleur", "Jaune"},
        {"Boisson", "Lait", "Correspond à", "Maison", "3"},
        {"Nation", "Norvégien", "Correspond à", "Maison", "1"},
        {"Cigarette", "Chesterfield", "Contigu de", "Animal", "Renard", "1", "1"},
        {"Cigarette", "Kools", "Contigu de", "Animal", "Cheval", "1", "1"},
        {"Cigarette", "Lucky Strike", "Correspond à", "Boisson", "Jus"},
        {"Nation", "Japonais", "Correspond à", "Cigarette", "Parliament"},
        {"Nation", "Norvégien", "Contigu de", "Couleur", "Bleu", "1", "1"},
    };
    return p;
}

// Types `text` into `w` key by key; letters without a key of their own arrive as text.
inline void TypeText(QWidget* w, const QString& text) {
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClick(w, static_cast<char>(ch.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

// An example puzzle file of the repository.
inline QString ExamplePath(const QString& name) { return QStringLiteral(KORVANE_EXAMPLES_DIR "/") + name; }

// One turn of the mouse wheel (down: towards the next entry) over `w`, as the window system delivers it.
inline void TurnWheel(QWidget* w, bool down = true) {
    const QPointF at = QRectF(w->rect()).center();
    QWheelEvent event(at, w->mapToGlobal(at), QPoint(), QPoint(0, down ? -120 : 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
}

// A window with its own session and scripted platform, shown and filled by FormShow.
struct Fixture {
    Session session;
    FakePlatform platform;
    std::unique_ptr<TForm1> form;

    explicit Fixture(WindowOptions options = {std::chrono::milliseconds{0}}) {
        form = std::make_unique<TForm1>(session, platform, options);
        form->show();
        QApplication::setActiveWindow(form.get());
        if (!QTest::qWaitForWindowExposed(form.get())) qFatal("the window was not shown");
    }

    template <class W = QWidget>
    W* widget(const QString& name) const {
        W* w = form->findChild<W*>(name);
        if (!w) qFatal("no widget %s", qPrintable(name));
        return w;
    }
    ConditionBox* box(int n) const { return widget<ConditionBox>(QStringLiteral("ComboBox%1").arg(n)); }
    QPlainTextEdit* memo() const { return widget<QPlainTextEdit>(QStringLiteral("Memo1")); }
    QString edit1() const { return widget<QLineEdit>(QStringLiteral("Edit1"))->text(); }
    void click(const QString& button) const { QTest::mouseClick(widget<QPushButton>(button), Qt::LeftButton); }

    // Loads `path` through the load button, as if chosen in its dialog.
    void load(const QString& path) {
        platform.openAnswers.push_back(path);
        click(QStringLiteral("BitBtn23"));
    }

    // Clicks grid cell [column, row] (row 1..6), opens it for editing with F2, types `text` and confirms
    // it with Enter.
    void typeCell(int column, int row, const QString& text) const {
        auto* grid = widget<QTableWidget>(QStringLiteral("SG1"));
        const QRect rect = grid->visualRect(grid->model()->index(row - 1, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::keyClick(grid, Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (!editor || editor->parent() != grid->viewport()) qFatal("no cell editor");
        editor->selectAll();
        TypeText(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents(); // Enter commits the text through a queued call
    }

    // Opens box n's list with the keyboard and picks the entry `text` with Enter. False when the open
    // list has no such entry.
    bool pick(int n, const QString& text) const {
        ConditionBox* b = box(n);
        QTest::keyClick(b, Qt::Key_F4);
        QAbstractItemView* view = b->view();
        const int index = b->findText(text, Qt::MatchExactly);
        if (index < 0) {
            qWarning("box %d offers no entry %s among %d", n, qPrintable(text), b->count());
            b->hidePopup();
            return false;
        }
        view->setCurrentIndex(view->model()->index(index, 0));
        QTest::keyClick(view, Qt::Key_Return);
        return true;
    }

    // Opens box n's list and closes it again without picking.
    QStringList openList(int n) const {
        ConditionBox* b = box(n);
        QTest::keyClick(b, Qt::Key_F4);
        QStringList entries;
        for (int i = 0; i < b->count(); ++i) entries.append(b->itemText(i));
        b->hidePopup();
        return entries;
    }

    void typeGrid(const TestPuzzle& p) const {
        for (int c = 1; c <= 6; ++c)
            for (int column = 0; column <= 5; ++column)
                if (!p.grid[c - 1][column].isEmpty()) typeCell(column, c, p.grid[c - 1][column]);
    }

    // Fills condition row k by picking from the lists; false when an entry was not offered.
    bool enterCondition(int k, const Condition& c) const {
        const std::array<std::pair<BoxRole, QString>, 7> picks{{{BoxRole::CategoryA, c.categoryA},
                                                              {BoxRole::ChoiceA, c.choiceA},
                                                              {BoxRole::Relation, c.relation},
                                                              {BoxRole::Steps, c.steps},
                                                              {BoxRole::Order, c.order},
                                                              {BoxRole::CategoryB, c.categoryB},
                                                              {BoxRole::ChoiceB, c.choiceB}}};
        for (const auto& [role, text] : picks)
            if (!text.isEmpty() && !pick(BoxNumber(role, k), text)) return false;
        return true;
    }

    bool enterPuzzle(const TestPuzzle& p) const {
        typeGrid(p);
        for (std::size_t i = 0; i < p.conditions.size(); ++i)
            if (!enterCondition(static_cast<int>(i) + 1, p.conditions[i])) return false;
        return true;
    }

    QStringList memoLines() const {
        QStringList lines = memo()->toPlainText().split(QLatin1Char('\n'));
        if (lines == QStringList{QString()}) return {};
        return lines;
    }
};

} // namespace korvane::test

Q_DECLARE_METATYPE(korvane::test::Condition)
