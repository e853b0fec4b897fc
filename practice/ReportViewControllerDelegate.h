#pragma once

// What the score report's two review buttons ask of the practice screen that opened it. Each
// is called just before the report dismisses itself, so the screen changes its pages while
// still covered.
class ReportViewControllerDelegate {
public:
    virtual ~ReportViewControllerDelegate() = default;

    virtual void showErrorAnalyze() = 0;
    virtual void showAllAnalyze() = 0;
};
