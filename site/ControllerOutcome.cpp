#include "site/ControllerOutcome.h"

using namespace Qt::StringLiterals;

QString ResultName(ControllerOutcome::Result result) {
    switch (result) {
        case ControllerOutcome::Result::Waiting:
            return u"waiting"_s;
        case ControllerOutcome::Result::Done:
            return u"done"_s;
        case ControllerOutcome::Result::Failed:
            return u"failed"_s;
        case ControllerOutcome::Result::Cancelled:
            return u"cancelled"_s;
    }
    return {};
}
