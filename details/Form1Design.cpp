#include "details/Form1.h"

#include "app/Dialogs.h"
#include "app/Failure.h"
#include "app/SettingsStore.h"
#include "designs/DesignCheck.h"
#include "designs/PaperSize.h"
#include "details/LiveFlyer.h"
#include "flyer/FlyerJobs.h"

#include <QAction>
#include <QActionGroup>
#include <QFileInfo>
#include <QMenu>

#include <utility>

// The window's choice of flyer design: a submenu of its context menu, kept in the settings store.
namespace lumarel {

QMenu* Form1::makeDesignMenu()
{
    auto* menu = new QMenu(tr("&Design"), this);
    menu->setObjectName(QStringLiteral("DesignMenu"));
    // Made when shown, so that it checks the choice as it is stored now.
    connect(menu, &QMenu::aboutToShow, this, &Form1::fillDesignMenu);
    // After the entry stored its choice.
    connect(menu, &QMenu::triggered, this, &Form1::openStoredDesignAhead);
    m_designMenu = menu;
    fillDesignMenu();
    return menu;
}

void Form1::fillDesignMenu()
{
    QMenu* menu = m_designMenu;
    menu->clear();
    QString notice; // told at the next flyer, not while the menu is open
    const FlyerDesign current = storedDesign(SettingsStore::get(DesignSetting::key()), &notice);
    auto* group = new QActionGroup(menu);
    for (const BuiltInDesign& design : builtInDesigns()) {
        QString name = QLatin1String(design.name);
        name[0] = name[0].toUpper();
        QAction* item =
            menu->addAction(QStringLiteral("&%1: %2").arg(name, QString::fromUtf8(design.title)),
                            this, [this, &design] {
                                try {
                                    DesignSetting::store({&design, QString()});
                                } catch (const Failure& failure) {
                                    Dialogs::message(QString(), failure.description(),
                                                     MessageIcon::Warning, MessageButtons::Ok);
                                }
                            });
        item->setCheckable(true);
        item->setChecked(current.builtIn == &design);
        group->addAction(item);
    }
    if (!current.builtIn) {
        // An ampersand in the name is shown, not taken for the entry's Alt letter.
        QAction* item = menu->addAction(
            QFileInfo(current.path).fileName().replace(QLatin1Char('&'), QLatin1String("&&")));
        item->setToolTip(current.path);
        item->setCheckable(true);
        item->setChecked(true);
        group->addAction(item);
    }
    menu->addSeparator();
    menu->addAction(tr("Choose &file…"), this, &Form1::chooseDesignFile);
    // The built-in designs' sheet; a design file keeps its own.
    menu->addSeparator();
    auto* papers = new QActionGroup(menu);
    const Paper paper = PaperSetting::current();
    for (const auto& [size, text] :
         {std::pair{Paper::A4, QT_TR_NOOP("&A4 Paper (A5 for the Handout)")},
          std::pair{Paper::Letter, QT_TR_NOOP("&Letter Paper (Half-Letter for the Handout)")}}) {
        QAction* item = menu->addAction(tr(text), this, [size] {
            try {
                PaperSetting::store(size);
            } catch (const Failure& failure) {
                Dialogs::message(QString(), failure.description(), MessageIcon::Warning,
                                 MessageButtons::Ok);
            }
        });
        item->setObjectName(QStringLiteral("paper-") + paperName(size));
        item->setCheckable(true);
        item->setChecked(size == paper);
        papers->addAction(item);
    }
}

void Form1::openStoredDesignAhead()
{
    QString notice; // told at the next flyer
    jobs().openAhead(storedDesign(SettingsStore::get(DesignSetting::key()), &notice));
    m_live->changed();
}

void Form1::chooseDesignFile()
{
    const QString path = Dialogs::openFileName(tr("Choose a Flyer Design"), designFileFilter());
    if (path.isEmpty())
        return;
    // A file that is no design is refused now, not at the next flyer, and is not stored.
    try {
        DesignSetting::store(chosenDesign(path));
    } catch (const Failure& failure) {
        Dialogs::message(QString(), failure.description(), MessageIcon::Warning,
                         MessageButtons::Ok);
    }
}

FlyerDesign Form1::designForRun()
{
    QString notice;
    const FlyerDesign design = m_designSetting.current(&notice);
    if (!notice.isEmpty())
        Dialogs::message(QString(), notice, MessageIcon::Warning, MessageButtons::Ok);
    // Told once for a design, not at every flyer; a design that cannot be read is reported by
    // the flyer.
    try {
        if (!design.builtIn && design.path != m_webLinksTold &&
            readDesign(design.path).linksToWeb) {
            m_webLinksTold = design.path;
            Dialogs::notice(webContentText(design.path));
        }
    } catch (const Failure&) {
    }
    return design;
}

} // namespace lumarel
