#pragma once

#include <QByteArray>
#include <QMap>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <functional>

class QObject;
class QTextBrowser;
class QWidget;

// Help: HTML pages in the "help" folder beside the executable, one topic per
// context number. "contexts.txt" maps numbers onto pages ("82=index.html" or
// "36=file.html#ctx36"); its "default=" line names the default topic;
// "cshelp.txt" holds the popup texts (".topic N" followed by the text).

// Context number of the main frame, the document window and the about box.
inline constexpr int kMainHelpContext = 82;

// The help commands the program issues.
enum class HelpCommand {
    Context = 1,       // the topic of a context number
    Index = 3,         // the default topic
    ContextPopup = 8,  // the topic, else the popup text of a context number
    Finder = 11,       // the default topic (the help search menu item)
    SetPopupPos = 13,  // popup position: x in the low 16 bits of the data, y in the high
};

struct HelpIndex {
    QMap<int, QString> topics;  // context number -> "page.html#anchor"
    QString defaultTopic;
    QMap<int, QString> popups;  // context number -> text
};

HelpIndex ParseHelpIndex(const QByteArray& contexts, const QByteArray& cshelp);

// The help folder beside the executable (with a trailing separator).
QString HelpFolder();
// True when the help folder holds its context map and default topic.
bool HelpAvailable(const QString& folder = HelpFolder());

// The help context of the widget (or of its nearest parent) that has one: the
// dynamic property "helpContext" (an int above 0). 0 when none has.
int HelpContextOf(const QObject* object);

// The application's help handler.
class ApplicationHelp {
public:
    static ApplicationHelp& Instance();

    // Carries out `command`; false when there is no topic or popup to show.
    bool Request(HelpCommand command, int data);

    // Test use: another help folder, and an observer of what is shown
    // (the page URL, or "popup:" + text) instead of opening windows.
    void SetFolder(const QString& folder);
    void SetShowSeam(std::function<void(const QString&)> seam);
    QTextBrowser* Viewer() const;

private:
    ApplicationHelp() = default;
    const HelpIndex& Index();
    void ShowTopic(const QString& topic);
    void ShowPopup(const QString& text);

    QString folder_;
    bool loaded_ = false;
    HelpIndex index_;
    QPoint popupPos_;
    QPointer<QWidget> window_;
    QPointer<QTextBrowser> browser_;
    std::function<void(const QString&)> seam_;
};

// F1 anywhere: the help topic of the menu item under the cursor of an open
// menu, else of the focused widget (or its window). Installed on the
// application once.
void InstallHelpKey();
