// The prompts interface: the scripted answers that tests and the command line use, and the
// message boxes that the windows use, answered here by clicking their buttons.
#include "app/WidgetPrompts.h"
#include "comm/UserPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

using namespace rv8::comm;
using rv8::app::WidgetPrompts;

namespace {

TEST(ScriptedPrompts, QuestionsTakeTheQueueThenThePolicyAndMessagesTakeNothing)
{
    ScriptedPrompts prompts(ScriptedPrompts::Policy::Dismiss);
    prompts.then(PromptAnswer::Yes).then(PromptAnswer::Cancel).then(PromptAnswer::Ok);

    prompts.information(QStringLiteral("T"), QStringLiteral("note"));  // does not use "Yes"
    EXPECT_TRUE(prompts.questionYesNo({}, QStringLiteral("q1")));
    EXPECT_EQ(prompts.questionYesNoCancel({}, QStringLiteral("q2")), PromptAnswer::Cancel);
    EXPECT_TRUE(prompts.questionOkCancel({}, QStringLiteral("q3")));
    EXPECT_EQ(prompts.pending(), 0u);
    // Queue empty: the policy.
    EXPECT_FALSE(prompts.questionYesNo({}, QStringLiteral("q4")));
    EXPECT_FALSE(prompts.questionYesCancel({}, QStringLiteral("q5")));
    EXPECT_EQ(prompts.questionYesNoCancel({}, QStringLiteral("q6")), PromptAnswer::Cancel);
    prompts.setPolicy(ScriptedPrompts::Policy::Affirm);
    EXPECT_TRUE(prompts.questionYesCancel({}, QStringLiteral("q7")));
    EXPECT_TRUE(prompts.questionOkCancel({}, QStringLiteral("q8")));
    EXPECT_EQ(prompts.questionYesNoCancel({}, QStringLiteral("q9")), PromptAnswer::Yes);

    const auto& asked = prompts.asked();
    ASSERT_EQ(asked.size(), 10u);
    EXPECT_EQ(asked[0].prompt.kind, PromptKind::Information);
    EXPECT_EQ(asked[0].prompt.title, QStringLiteral("T"));
    EXPECT_EQ(asked[0].prompt.text, QStringLiteral("note"));
    EXPECT_EQ(asked[0].answer, PromptAnswer::Ok);
    EXPECT_EQ(asked[1].prompt.buttons, PromptButtons::YesNo);
    EXPECT_EQ(asked[1].prompt.kind, PromptKind::Confirmation);
    EXPECT_EQ(asked[4].prompt.buttons, PromptButtons::YesNo);
    EXPECT_EQ(prompts.scriptErrors(), 0);
}

TEST(ScriptedPrompts, AnAnswerTheQuestionDoesNotOfferIsAScriptError)
{
    ScriptedPrompts prompts(ScriptedPrompts::Policy::Dismiss);
    prompts.then(PromptAnswer::Ok).then(PromptAnswer::Yes);
    std::vector<QString> seen;
    prompts.onAsked = [&](const Prompt& p, PromptAnswer) { seen.push_back(p.text); };
    EXPECT_FALSE(prompts.questionYesNo({}, QStringLiteral("a"), PromptKind::Warning)) << "policy answer, not Ok";
    EXPECT_EQ(prompts.scriptErrors(), 1);
    EXPECT_TRUE(prompts.questionYesNo({}, QStringLiteral("b"))) << "the next scripted answer is still used";
    prompts.error({}, QStringLiteral("c"));
    EXPECT_EQ(seen, (std::vector<QString>{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_EQ(prompts.asked()[2].prompt.kind, PromptKind::Error);
}

TEST(PromptButtonsRules, OffersDismissAndAffirm)
{
    const struct {
        PromptButtons buttons;
        bool ok, cancel, yes, no;
        PromptAnswer dismiss, affirm;
    } rows[] = {
        {PromptButtons::Ok, true, false, false, false, PromptAnswer::Ok, PromptAnswer::Ok},
        {PromptButtons::OkCancel, true, true, false, false, PromptAnswer::Cancel, PromptAnswer::Ok},
        {PromptButtons::YesNo, false, false, true, true, PromptAnswer::No, PromptAnswer::Yes},
        {PromptButtons::YesCancel, false, true, true, false, PromptAnswer::Cancel, PromptAnswer::Yes},
        {PromptButtons::YesNoCancel, false, true, true, true, PromptAnswer::Cancel, PromptAnswer::Yes},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(static_cast<int>(r.buttons));
        EXPECT_EQ(Offers(r.buttons, PromptAnswer::Ok), r.ok);
        EXPECT_EQ(Offers(r.buttons, PromptAnswer::Cancel), r.cancel);
        EXPECT_EQ(Offers(r.buttons, PromptAnswer::Yes), r.yes);
        EXPECT_EQ(Offers(r.buttons, PromptAnswer::No), r.no);
        EXPECT_EQ(DismissAnswer(r.buttons), r.dismiss);
        EXPECT_EQ(AffirmAnswer(r.buttons), r.affirm);
    }
}

// Runs `act` on the message box once it is shown; the box is modal, so the check polls from the
// event loop that exec() runs.
void whenBoxShown(const std::function<void(QMessageBox*)>& act)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act(box);
    });
    timer->start();
}

TEST(WidgetPrompts, ShowsTheTextWithTheKindsButtonsAndReturnsTheClickedOne)
{
    WidgetPrompts prompts;
    const struct {
        PromptButtons buttons;
        QMessageBox::StandardButton click;
        PromptAnswer expected;
    } rows[] = {
        {PromptButtons::YesNo, QMessageBox::No, PromptAnswer::No},
        {PromptButtons::YesNo, QMessageBox::Yes, PromptAnswer::Yes},
        {PromptButtons::YesCancel, QMessageBox::Cancel, PromptAnswer::Cancel},
        {PromptButtons::YesNoCancel, QMessageBox::No, PromptAnswer::No},
        {PromptButtons::OkCancel, QMessageBox::Ok, PromptAnswer::Ok},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.buttons));
        QString text, title;
        QMessageBox::StandardButtons shown;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        whenBoxShown([&](QMessageBox* box) {
            text = box->text();
            title = box->windowTitle();
            shown = box->standardButtons();
            icon = box->icon();
            QTest::mouseClick(box->button(row.click), Qt::LeftButton);
        });
        const PromptAnswer answer =
            prompts.ask({PromptKind::Warning, row.buttons, {}, QStringLiteral("Change RV8 parameter values?")});
        EXPECT_EQ(answer, row.expected);
        EXPECT_EQ(text, QStringLiteral("Change RV8 parameter values?"));
        EXPECT_EQ(title, QStringLiteral("Warning"));
        EXPECT_EQ(icon, QMessageBox::Warning);
        for (PromptAnswer a : {PromptAnswer::Ok, PromptAnswer::Cancel, PromptAnswer::Yes, PromptAnswer::No}) {
            const QMessageBox::StandardButton b = a == PromptAnswer::Ok       ? QMessageBox::Ok
                                                  : a == PromptAnswer::Cancel ? QMessageBox::Cancel
                                                  : a == PromptAnswer::Yes    ? QMessageBox::Yes
                                                                              : QMessageBox::No;
            EXPECT_EQ(shown.testFlag(b), Offers(row.buttons, a));
        }
    }
}

TEST(WidgetPrompts, EscapeGivesTheDismissAnswer)
{
    WidgetPrompts prompts;
    for (PromptButtons buttons : {PromptButtons::YesNo, PromptButtons::YesNoCancel, PromptButtons::Ok}) {
        SCOPED_TRACE(static_cast<int>(buttons));
        QString title;
        whenBoxShown([&](QMessageBox* box) {
            title = box->windowTitle();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        EXPECT_EQ(prompts.ask({PromptKind::Confirmation, buttons, QStringLiteral("RV8"), QStringLiteral("Sure?")}),
                  DismissAnswer(buttons));
        EXPECT_EQ(title, QStringLiteral("RV8"));
    }
}

}  // namespace
