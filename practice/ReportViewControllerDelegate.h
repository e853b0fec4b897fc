#pragma once

// What the score report's review buttons and result tiles ask of the practice screen that opened it. Each
// is called just before the report dismisses itself, so the screen changes its pages while
// still covered.
class ReportViewControllerDelegate {
public:
    virtual ~ReportViewControllerDelegate() = default;

    virtual void showErrorAnalyze() = 0;
    virtual void showAllAnalyze() = 0;
    // A result tile was tapped: review the question it stands for (its index in the run).
    virtual void showQuestionAnalyze(int) {}
};
