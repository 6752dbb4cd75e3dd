#include "shell/help.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWhatsThis>

#include "shell/folders.h"

namespace {

const char kHelpContextProperty[] = "helpContext";

QByteArray ReadSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.read(1024 * 1024);
}

class HelpKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress ||
            static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1 ||
            static_cast<QKeyEvent*>(event)->modifiers() != Qt::NoModifier)
            return QObject::eventFilter(watched, event);
        int context = 0;
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            if (QAction* action = menu->activeAction()) {
                // Menu items carry their number as a property, or as their data.
                context = action->property(kHelpContextProperty).toInt();
                if (context <= 0) context = action->data().toInt();
            }
            if (context <= 0) context = HelpContextOf(menu);
        }
        if (context <= 0) {
            QWidget* focus = QApplication::focusWidget();
            context = HelpContextOf(focus ? focus : QApplication::activeWindow());
        }
        if (context <= 0) return QObject::eventFilter(watched, event);
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) menu->close();
        if (!ApplicationHelp::Instance().Request(HelpCommand::Context, context))
            QApplication::beep();
        return true;
    }
};

}  // namespace

HelpIndex ParseHelpIndex(const QByteArray& contexts, const QByteArray& cshelp) {
    HelpIndex index;
    for (QByteArray line : contexts.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0) continue;
        const QByteArray key = line.left(eq).trimmed();
        const QString topic = QString::fromUtf8(line.mid(eq + 1).trimmed());
        if (topic.isEmpty()) continue;
        if (key == "default") {
            index.defaultTopic = topic;
            continue;
        }
        bool ok = false;
        const int number = key.toInt(&ok);
        if (ok && number > 0) index.topics.insert(number, topic);
    }
    int current = 0;
    QStringList text;
    auto finish = [&] {
        if (current > 0) index.popups.insert(current, text.join(QLatin1Char('\n')).trimmed());
        text.clear();
    };
    for (const QByteArray& raw : cshelp.split('\n')) {
        const QString line = QString::fromUtf8(raw).remove(QLatin1Char('\r'));
        if (line.startsWith(QLatin1String(".topic"))) {
            finish();
            bool ok = false;
            current = line.mid(6).trimmed().toInt(&ok);
            if (!ok) current = 0;
            continue;
        }
        if (current > 0) text.append(line);
    }
    finish();
    return index;
}

QString HelpFolder() {
    // Beside the program in a build; under share/neridal once installed.
    const QString beside = AppFolders().program + QStringLiteral("help/");
    const QString installed = AppFolders().program + QStringLiteral("../share/neridal/help/");
    return !HelpAvailable(beside) && HelpAvailable(installed) ? QDir::cleanPath(installed) + '/'
                                                              : beside;
}

bool HelpAvailable(const QString& folder) {
    return QFileInfo(folder + QStringLiteral("contexts.txt")).isFile() &&
           QFileInfo(folder + QStringLiteral("index.html")).isFile();
}

int HelpContextOf(const QObject* object) {
    for (const QObject* o = object; o; o = o->parent()) {
        const int context = o->property(kHelpContextProperty).toInt();
        if (context > 0) return context;
    }
    return 0;
}

ApplicationHelp& ApplicationHelp::Instance() {
    static ApplicationHelp help;
    return help;
}

QTextBrowser* ApplicationHelp::Viewer() const {
    return browser_.data();
}

void ApplicationHelp::SetFolder(const QString& folder) {
    folder_ = folder;
    loaded_ = false;
}

void ApplicationHelp::SetShowSeam(std::function<void(const QString&)> seam) {
    seam_ = std::move(seam);
}

const HelpIndex& ApplicationHelp::Index() {
    if (!loaded_) {
        if (folder_.isEmpty()) folder_ = HelpFolder();
        index_ = ParseHelpIndex(ReadSmallFile(folder_ + QStringLiteral("contexts.txt")),
                                ReadSmallFile(folder_ + QStringLiteral("cshelp.txt")));
        loaded_ = true;
    }
    return index_;
}

bool ApplicationHelp::Request(HelpCommand command, int data) {
    const HelpIndex& index = Index();
    switch (command) {
        case HelpCommand::Context:
            if (!index.topics.contains(data)) return false;
            ShowTopic(index.topics.value(data));
            return true;
        case HelpCommand::Index:
        case HelpCommand::Finder:
            if (index.defaultTopic.isEmpty()) return false;
            ShowTopic(index.defaultTopic);
            return true;
        case HelpCommand::ContextPopup:
            if (index.topics.contains(data)) {
                ShowTopic(index.topics.value(data));
                return true;
            }
            if (!index.popups.contains(data)) return false;
            ShowPopup(index.popups.value(data));
            return true;
        case HelpCommand::SetPopupPos:
            popupPos_ = QPoint(data & 0xFFFF, (data >> 16) & 0xFFFF);
            return true;
    }
    return false;
}

void ApplicationHelp::ShowTopic(const QString& topic) {
    const qsizetype hash = topic.indexOf(QLatin1Char('#'));
    QUrl url = QUrl::fromLocalFile(folder_ + (hash < 0 ? topic : topic.left(hash)));
    if (hash >= 0) url.setFragment(topic.mid(hash + 1));
    if (seam_) {
        seam_(url.toString());
        return;
    }
    if (!window_) {
        window_ = new QWidget(nullptr, Qt::Window);
        window_->setAttribute(Qt::WA_DeleteOnClose, false);
        window_->setWindowTitle(QStringLiteral("アルバーノ ヘルプ"));
        auto* layout = new QVBoxLayout(window_);
        layout->setContentsMargins(0, 0, 0, 0);
        browser_ = new QTextBrowser(window_);
        browser_->setOpenExternalLinks(true);
        layout->addWidget(browser_);
        window_->resize(640, 520);
    }
    browser_->setSource(url);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void ApplicationHelp::ShowPopup(const QString& text) {
    if (seam_) {
        seam_(QStringLiteral("popup:") + text);
        return;
    }
    QWhatsThis::showText(popupPos_, text, QApplication::activeWindow());
}

void InstallHelpKey() {
    static HelpKeyFilter* filter = nullptr;
    if (filter) return;
    filter = new HelpKeyFilter(qApp);
    qApp->installEventFilter(filter);
}
