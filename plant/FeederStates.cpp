#include "plant/FeederStates.h"

#include <algorithm>

namespace mp {

std::optional<double> FeederState::CurrentAmperes(int phase) const {
    if (!Currents || !CtRatio || phase < 0 || phase > 2) {
        return std::nullopt;
    }
    return Currents->Value.Counts[static_cast<size_t>(phase)] * *CtRatio * 0.001;
}

CFeederStates::CFeederStates(const Plant& plant, QObject* parent) : QObject(parent) {
    RoundMs_.fill(0, plant.Lines.size());
    for (const Feeder& feeder : plant.Feeders) {
        int line = -1;
        for (int i = 0; i < plant.Lines.size(); ++i) {
            if (plant.Lines[i].Id == feeder.Line) {
                line = i;
                break;
            }
        }
        if (line < 0 || feeder.Address < 1 || feeder.Address > 247) {
            continue;
        }
        FeederState state;
        state.Tag = feeder.Tag;
        state.Description = feeder.Description;
        state.Line = line;
        state.Address = static_cast<uint8_t>(feeder.Address);
        state.CtRatio = feeder.CtRatio;
        state.RatedCurrent = feeder.RatedCurrent;
        Rows_.push_back(state);
    }
}

int CFeederStates::Find(int line, uint8_t address) const {
    for (int row = 0; row < Rows_.size(); ++row) {
        if (Rows_[row].Line == line && Rows_[row].Address == address) {
            return row;
        }
    }
    return -1;
}

int CFeederStates::FindTag(const QString& tag) const {
    for (int row = 0; row < Rows_.size(); ++row) {
        if (Rows_[row].Tag == tag) {
            return row;
        }
    }
    return -1;
}

void CFeederStates::SetLink(FeederState& state, FeederLink link, int64_t sinceMs) {
    if (state.Link != link) {
        state.Link = link;
        state.LinkSinceMs = sinceMs;
    }
    if (link != FeederLink::LineLost) {
        state.LineMessage.clear();
    }
}

void CFeederStates::Put(int row, const FeederState& state) {
    if (row < 0 || row >= Rows_.size()) {
        return;
    }
    FeederState& into = Rows_[row];
    const FeederState kept = into;
    into = state;
    // Where the feeder is in the plant stays as the plant says.
    into.Tag = kept.Tag;
    into.Description = kept.Description;
    into.Line = kept.Line;
    into.Address = kept.Address;
    emit Changed(row);
}

void CFeederStates::Apply(const FeederSample& sample) {
    const int row = Find(sample.Line, sample.Address);
    if (row < 0) {
        return;
    }
    FeederState& state = Rows_[row];
    const int64_t at = sample.TimeMs;
    auto take = [at](auto& into, const auto& read) {
        if (read) {
            into = {{*read, at}};
        }
    };
    take(state.Currents, sample.Currents);
    take(state.Voltages, sample.Voltages);
    take(state.Inputs, sample.Inputs);
    take(state.Outputs, sample.Outputs);
    take(state.Status, sample.Status);
    take(state.Events, sample.Events);
    take(state.Settings, sample.Settings);
    if (sample.CtRatio) {
        state.CtRatio = sample.CtRatio;
    }
    if (sample.RatedCurrent) {
        state.RatedCurrent = sample.RatedCurrent;
    }
    state.BackOffRounds = sample.BackOffRounds;
    if (sample.Answered) {
        state.LastAnswerMs = at;
        SetLink(state, FeederLink::Answering, at);
    } else if (state.Link != FeederLink::LineLost) {
        // Since the first visit without a reply.
        SetLink(state, FeederLink::NotAnswering, at);
    }
    emit Changed(row);
}

void CFeederStates::LineLost(int line, const QString& message, int64_t nowMs) {
    for (int row = 0; row < Rows_.size(); ++row) {
        FeederState& state = Rows_[row];
        if (state.Line == line) {
            SetLink(state, FeederLink::LineLost, nowMs);
            state.LineMessage = message;
            emit Changed(row);
        }
    }
}

void CFeederStates::LineBack(int line, int64_t nowMs) {
    for (int row = 0; row < Rows_.size(); ++row) {
        FeederState& state = Rows_[row];
        if (state.Line != line || state.Link != FeederLink::LineLost) {
            continue;
        }
        if (state.LastAnswerMs > 0) {
            // What it shows is as old as its last reply.
            state.Link = FeederLink::Stale;
            state.LinkSinceMs = state.LastAnswerMs;
        } else {
            state.Link = FeederLink::Unknown;
            state.LinkSinceMs = nowMs;
        }
        state.LineMessage.clear();
        emit Changed(row);
    }
}

void CFeederStates::SetRoundTime(int line, uint32_t ms) {
    if (line >= 0 && line < RoundMs_.size()) {
        RoundMs_[line] = ms;
    }
}

int64_t CFeederStates::StaleAfterMs(int line) const {
    const int64_t rounds =
        line >= 0 && line < RoundMs_.size() ? int64_t{kStaleRounds} * RoundMs_[line] : 0;
    return std::max(rounds, kStaleMinimumMs);
}

void CFeederStates::Refresh(int64_t nowMs) {
    for (int row = 0; row < Rows_.size(); ++row) {
        FeederState& state = Rows_[row];
        if (state.Link == FeederLink::Answering &&
            nowMs - state.LastAnswerMs > StaleAfterMs(state.Line)) {
            // Stale since the last good reply: the values shown are that old.
            state.Link = FeederLink::Stale;
            state.LinkSinceMs = state.LastAnswerMs;
            emit Changed(row);
        }
    }
}

}  // namespace mp
