// The standard dialogs speak Japanese with Qt's own translations loaded.

#include "shell/qt_translations.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include "shell/open_dialog.h"
#include "shell_fixture.h"

namespace {

// A caption with no English left once its access key "(&X)" is set aside.
bool IsJapanese(const QString& caption) {
    QString rest = caption;
    rest.remove(QRegularExpression(QStringLiteral(R"(\(&[A-Za-z]\))")));
    return !rest.contains(QRegularExpression(QStringLiteral("[A-Za-z]")));
}

QStringList ButtonTexts(const QWidget& dialog) {
    QStringList texts;
    for (const QPushButton* b : dialog.findChildren<QPushButton*>())
        if (!b->isHidden()) texts << b->text();
    return texts;
}

QPushButton* AcceptButton(const QFileDialog& dialog) {
    const auto* box = dialog.findChild<QDialogButtonBox*>();
    if (!box) return nullptr;
    for (QAbstractButton* b : box->buttons())
        if (box->buttonRole(b) == QDialogButtonBox::AcceptRole)
            return qobject_cast<QPushButton*>(b);
    return nullptr;
}

// Clicks the entry `name` in the dialog's file list, as a user highlights it.
bool ClickEntry(QFileDialog& dialog, const QString& name) {
    auto* view = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
    if (!view) return false;
    QModelIndex entry;
    (void)QTest::qWaitFor([&] {
        const QModelIndexList found =
            view->model()->match(view->model()->index(0, 0, view->rootIndex()), Qt::DisplayRole,
                                 name, 1, Qt::MatchExactly);
        entry = found.value(0);
        return entry.isValid();
    });
    if (!entry.isValid()) return false;
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(entry).center());
    return true;
}

class QtTranslationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(LoadQtTranslations(translator));
        QCoreApplication::installTranslator(&translator);
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkdir(QStringLiteral("FOLDER"));
        QFile file(dir.filePath(QStringLiteral("A.PXA")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    void TearDown() override { QCoreApplication::removeTranslator(&translator); }

    QTranslator translator;
    QTemporaryDir dir;
};

TEST_F(QtTranslationsTest, TheOpenDialogKeepsJapaneseButtonsWhileAFolderIsHighlighted) {
    QFileDialog dialog(nullptr, QString(), dir.path());
    PrepareAlbumOpenDialog(dialog);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.show();
    QPushButton* accept = AcceptButton(dialog);
    ASSERT_TRUE(accept);
    // With a folder highlighted the button says "open the folder" in Qt's
    // own words, which must be the program's language too.
    ASSERT_TRUE(ClickEntry(dialog, QStringLiteral("FOLDER")));
    EXPECT_EQ(accept->text(), QStringLiteral("開く(&O)"));
    ASSERT_TRUE(ClickEntry(dialog, QStringLiteral("A.PXA")));
    EXPECT_EQ(accept->text(), QStringLiteral("開く(&O)"));
    for (const QString& text : ButtonTexts(dialog))
        EXPECT_TRUE(IsJapanese(text)) << text.toStdString();
}

TEST_F(QtTranslationsTest, TheSaveDialogButtonsAreJapanese) {
    QFileDialog dialog(nullptr, QString(), dir.path());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.show();
    QPushButton* accept = AcceptButton(dialog);
    ASSERT_TRUE(accept);
    ASSERT_TRUE(ClickEntry(dialog, QStringLiteral("FOLDER")));
    EXPECT_TRUE(IsJapanese(accept->text())) << accept->text().toStdString();
    dialog.selectFile(dir.filePath(QStringLiteral("NEW.EMF")));
    const QStringList texts = ButtonTexts(dialog);
    EXPECT_FALSE(texts.isEmpty());
    for (const QString& text : texts)
        EXPECT_TRUE(IsJapanese(text)) << text.toStdString();
}

}  // namespace
