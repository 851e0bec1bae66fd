#pragma once

#include "details/LivePacer.h"
#include "flyer/BookmarkTexts.h"

#include <QObject>
#include <QTimer>

#include <memory>

class QAction;

namespace lumarel {

class Form1;
class LivePage;
struct WindowFlyer;

// The live page's choice in the settings store (key "livePage", "on" or "off"; off unless
// stored on).
class LivePageSetting
{
public:
    static const QString& key();
    static bool current();
    // Throws Failure when the store cannot be written.
    static void store(bool on);
};

// The details window's live page: at the pace LivePacer sets, it asks the window's flyer jobs for
// the page of the details and design of the moment, as a press makes it, and shows it in a window
// of its own beside the details window, hidden while that one is.
class LiveFlyer : public QObject
{
    Q_OBJECT

public:
    explicit LiveFlyer(Form1& form, std::chrono::milliseconds pause = LivePacer::kPause);
    ~LiveFlyer() override;

    // "Live Page" of the window's menu, with its key: turns the live page on or off and
    // stores the choice.
    QAction* action() const { return m_action; }
    // Takes the stored choice, once the details window is shown.
    void restore();
    bool isOn() const { return m_on; }
    // A page is being made or due after the pause.
    bool busy() const { return m_pacer.state() != LivePacer::State::Idle; }
    // The details, the design or the paper changed.
    void changed();
    // The window, once the live page was first turned on.
    LivePage* page() const { return m_page.get(); }
    // The details of the page shown last.
    const FlyerFields& shownFields() const { return m_shownFields; }

signals:
    // A page was asked of the flyer jobs, as job `job`.
    void asked(quint64 job);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void turn(bool on);
    // Beside the details window, which moves aside where the screen has no room for both.
    void placePage();
    void ask();
    void made(quint64 job, const WindowFlyer& flyer);

    Form1& m_form;
    LivePacer m_pacer;
    QTimer m_pause;
    QAction* m_action = nullptr;
    std::unique_ptr<LivePage> m_page;
    bool m_on = false;
    bool m_listening = false;
    quint64 m_job = 0; // the page being made
    FlyerFields m_askedFields;
    FlyerFields m_shownFields;
};

} // namespace lumarel
