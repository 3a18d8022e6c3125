#include "tools/vantrel-site/SiteTerminalView.h"

#include "site/SiteRunner.h"
#include "tools/vantrel-set/TerminalProgress.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kBarWidth = 24;

}  // namespace

SiteTerminalView::SiteTerminalView(SiteRunner& runner, const QStringList& controllers,
                                   QTextStream& err)
    : err_(err), terminal_(TerminalProgress::ErrorStreamIsTerminal()) {
    for (const QString& name : controllers) {
        lines_ << Line{name};
        nameWidth_ = std::max(nameWidth_, name.size());
    }
    connect(&runner, &SiteRunner::StateChanged, this, [this](int index, const QString& state) {
        lines_[index].state = state;
        if (!terminal_) {
            err_ << lines_[index].name << u": "_s << state << Qt::endl;
        }
        Draw(false);
    });
    connect(&runner, &SiteRunner::ControllerFinished, this, [this, &runner](int index) {
        lines_[index].complete =
            runner.Outcomes().at(index).result == ControllerOutcome::Result::Done;
        Draw(false);
    });
    connect(&runner, &SiteRunner::ProgressChanged, this,
            [this](int index, qint64 done, qint64 total) {
                lines_[index].done = done;
                lines_[index].total = total;
                Draw(false);
            });
    sinceDraw_.start();
}

QString SiteTerminalView::Render(const Line& line) const {
    const int percent = line.complete ? 100
                        : line.total > 0
                            ? static_cast<int>(std::min<qint64>(line.done * 100 / line.total, 100))
                            : 0;
    const int filled = percent * kBarWidth / 100;
    const QString bar = u'[' + QString(filled, u'#') + QString(kBarWidth - filled, u' ') + u']';
    QString state = line.state;
    if (state.size() > 30) {
        state = state.left(27) + u"..."_s;
    }
    return u"%1  %2  %3 %4%"_s
        .arg(line.name.leftJustified(nameWidth_), state.leftJustified(30), bar)
        .arg(percent, 3);
}

void SiteTerminalView::Draw(bool force) {
    if (!terminal_ || (!force && sinceDraw_.isValid() && sinceDraw_.elapsed() < 100 && drawn_)) {
        return;
    }
    sinceDraw_.restart();
    if (drawn_) {
        err_ << u"\x1b[%1A"_s.arg(lines_.size());
    }
    for (const Line& line : std::as_const(lines_)) {
        err_ << u"\r\x1b[K"_s << Render(line) << u'\n';
    }
    err_ << Qt::flush;
    drawn_ = true;
}

void SiteTerminalView::Close() {
    Draw(true);
}
