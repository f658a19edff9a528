// The "Nouvelle énigme" dialog: the grade, and whose names the puzzle takes, the grid's or a theme's.
#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/qt_platform.h"

namespace korvane {

std::optional<NewPuzzleChoice> QtPlatform::askNewPuzzle(const NewPuzzleOffer& offer) {
    QDialog dialog(parent_);
    dialog.setObjectName(QStringLiteral("NewPuzzleDialog"));
    dialog.setWindowTitle(QStringLiteral("Nouvelle énigme"));

    auto* grade = new QComboBox(&dialog);
    grade->setObjectName(QStringLiteral("GradeBox"));
    grade->addItems(offer.grades);
    grade->setCurrentIndex(offer.grade);

    auto* keep = new QRadioButton(QStringLiteral("Garder les noms de la grille"), &dialog);
    keep->setObjectName(QStringLiteral("KeepNamesButton"));
    auto* themed = new QRadioButton(QStringLiteral("Prendre les noms d'un thème :"), &dialog);
    themed->setObjectName(QStringLiteral("ThemeButton"));
    auto* theme = new QComboBox(&dialog);
    theme->setObjectName(QStringLiteral("ThemeBox"));
    theme->addItem(QStringLiteral("au hasard"));
    theme->addItems(offer.themes);
    auto* why = new QLabel(&dialog);
    why->setWordWrap(true);
    if (offer.gridProblem.isEmpty()) {
        keep->setChecked(true);
    } else {
        keep->setEnabled(false);
        why->setText(QStringLiteral("La grille ne peut pas servir : ") + offer.gridProblem);
        themed->setChecked(true);
    }
    QObject::connect(theme, &QComboBox::activated, themed, [themed] { themed->setChecked(true); });

    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("Créer"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Difficulté :"), grade);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(keep);
    if (!offer.gridProblem.isEmpty()) layout->addWidget(why);
    auto* themeRow = new QHBoxLayout;
    themeRow->addWidget(themed);
    themeRow->addWidget(theme, 1);
    layout->addLayout(themeRow);
    layout->addWidget(new QLabel(QStringLiteral("Les lignes de conditions sont remplacées ; Ctrl+Z les rend."), &dialog));
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return NewPuzzleChoice{grade->currentIndex(), keep->isChecked() ? -1 : theme->currentIndex()};
}

} // namespace korvane
