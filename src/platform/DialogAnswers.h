#pragma once
#include <deque>
#include <initializer_list>

// While one exists, the dialogs that take Answer show nothing and take its
// answers in turn; an empty answer (a default Answer), or none left, is
// Cancel. For tests; GUI thread only.
template <typename Answer>
class DialogAnswers {
public:
    DialogAnswers(std::initializer_list<Answer> answers = {}) : answers_(answers), outer_(active_) { active_ = this; }
    ~DialogAnswers() { active_ = outer_; }
    DialogAnswers(const DialogAnswers&) = delete;
    DialogAnswers& operator=(const DialogAnswers&) = delete;

    void add(const Answer& answer) { answers_.push_back(answer); }
    // Dialogs that were to be shown.
    int asked() const { return asked_; }

    // The innermost object's next answer into answer; false when none exists.
    static bool answer(Answer& answer)
    {
        if (!active_)
            return false;
        ++active_->asked_;
        answer = Answer();
        if (!active_->answers_.empty()) {
            answer = active_->answers_.front();
            active_->answers_.pop_front();
        }
        return true;
    }

private:
    std::deque<Answer> answers_;
    int asked_ = 0;
    DialogAnswers* outer_;
    static inline DialogAnswers* active_ = nullptr;
};
