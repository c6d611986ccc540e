// The main window's side of a comparison or collection run.
#include "collect/window/CompareWindowView.h"

#include "base/Messages.h"
#include "collect/window/LowerPanel.h"
#include "widgets/Layout.h"
#include "widgets/ProgressBar.h"
#include "widgets/SoundPlayer.h"

#include <QCheckBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace darv {

namespace {
constexpr qint64 kRepaintIntervalMs = 50;
}

CompareWindowView::CompareWindowView(LowerPanel* panel, Messages& messages, SoundPlayer& sound,
                                     std::function<void()> endApplication)
    : m_panel(panel), m_messages(messages), m_sound(sound), m_endApplication(std::move(endApplication))
{
    m_sinceRepaint.start();
}

void CompareWindowView::setStatusText(const std::string& text)
{
    m_pairPending = false;
    m_indexPending = false;
    m_panel->lblStatus->setText(QString::fromStdString(text));
    repaintSoon(true);
}

void CompareWindowView::setPairStatus(std::int64_t first, std::int64_t second)
{
    m_indexPending = false;
    m_pairFirst = first;
    m_pairSecond = second;
    m_pairPending = true;
    repaintSoon(false);
}

void CompareWindowView::setIndexStatus(std::int64_t step, std::int64_t steps)
{
    m_pairPending = false;
    m_indexStep = step;
    m_indexSteps = steps;
    m_indexPending = true;
    repaintSoon(false);
}

void CompareWindowView::setElapsedText(const std::string& text)
{
    m_panel->lblTime->setText(QString::fromStdString(text));
    repaintSoon(false);
}

void CompareWindowView::setCounterText(CounterLabel label, const std::string& text)
{
    QLabel* target = nullptr;
    switch (label) {
    case CounterLabel::Files:
        target = m_panel->lblTotalFiles;
        break;
    case CounterLabel::Time:
        target = m_panel->lblTotConflicts;
        break;
    case CounterLabel::Handle:
        target = m_panel->lblTotEntityConflicts;
        break;
    case CounterLabel::Age:
        target = m_panel->lblTotDateConflicts;
        break;
    }
    target->setText(QString::fromStdString(text));
}

void CompareWindowView::showPicture(Picture, const std::string& path)
{
    // A missing picture file leaves the picture box as it was.
    QPixmap picture(QString::fromStdString(path));
    if (!picture.isNull())
        m_panel->Picture1->setPixmap(picture);
}

void CompareWindowView::setVerdict(Verdict verdict)
{
    if (verdict == Verdict::Darv) {
        m_panel->lblDARVd->setText(QString::fromLatin1(kVerdictDarvText));
        setTextColour(m_panel->lblDARVd, colours::red);
    } else if (verdict == Verdict::None) {
        m_panel->lblDARVd->clear();
    } else {
        m_panel->lblDARVd->setText(QString::fromLatin1(kVerdictNoDarvText));
        setTextColour(m_panel->lblDARVd, colours::purple);
    }
}

bool CompareWindowView::playAlertSound(const std::string& wavPath)
{
    return m_sound.play(QString::fromStdString(wavPath));
}

void CompareWindowView::showMessage(MessageIcon icon, const std::string& title, const std::string& text)
{
    flush();
    m_messages.show(icon, title, text);
}

void CompareWindowView::clearTimeOption()
{
    m_panel->chkOpt[0]->setChecked(false);
}

void CompareWindowView::disableRecompare()
{
    m_panel->cmdCompare->setEnabled(false);
}

void CompareWindowView::setProgress(double percent)
{
    m_panel->ProgressBar1->setPercent(percent);
}

void CompareWindowView::setLocationText(const std::string& text)
{
    m_panel->lblLocCur->setText(QString::fromStdString(text));
}

void CompareWindowView::setSubfolderText(const std::string& text)
{
    m_panel->lblSubs->setText(QString::fromStdString(text));
}

void CompareWindowView::setFileText(const std::string& text)
{
    m_panel->lblFileCur->setText(QString::fromStdString(text));
}

void CompareWindowView::enableRecompare()
{
    m_panel->cmdCompare->setEnabled(true);
}

void CompareWindowView::endApplication()
{
    if (m_endApplication)
        m_endApplication();
}

void CompareWindowView::flush()
{
    repaintSoon(true);
}

void CompareWindowView::repaintSoon(bool force)
{
    if (!force && m_sinceRepaint.elapsed() < kRepaintIntervalMs)
        return;
    if (m_pairPending) {
        m_panel->lblStatus->setText(QString::fromStdString(comparingText(m_pairFirst, m_pairSecond)));
        m_pairPending = false;
    }
    if (m_indexPending) {
        m_panel->lblStatus->setText(QString::fromStdString(indexingText(m_indexStep, m_indexSteps)));
        m_indexPending = false;
    }
    m_panel->lblStatus->repaint();
    m_panel->lblTime->repaint();
    ++m_repaints;
    m_sinceRepaint.restart();
}

} // namespace darv
