#include "practice/ExamStartViewController.h"

std::shared_ptr<ExamStartViewController> ExamStartViewController::create()
{
    return std::shared_ptr<ExamStartViewController>(new ExamStartViewController());
}

ExamStartViewController::ExamStartViewController()
    : ChromeViewController(QString())
{
}
