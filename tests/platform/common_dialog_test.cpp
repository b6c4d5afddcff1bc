#include "platform/common_dialog.h"
#include "platform/runtime_error.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

using platform::CommonDialog;
using platform::FileDialogRequest;
using platform::Variant;

TEST(CommonDialog, PropertiesStayFromOneShowingToTheNext)
{
    // Stands in for the user: records each showing and answers in turn.
    std::vector<FileDialogRequest> shown;
    std::deque<std::optional<QString>> answers = {"/d/chart",  "/d/other.xml", "/d/sample",
                                                  "/d/v1.2/x", "/d/.hidden",   std::nullopt};
    CommonDialog dialog([&](const FileDialogRequest& request) {
        shown.push_back(request);
        std::optional<QString> answer = answers.front();
        answers.pop_front();
        return answer;
    });
    auto fileName = [&] { return dialog.get(CommonDialog::FileName).toString(); };

    dialog.put(CommonDialog::DefaultExt, "bmp");
    dialog.put(CommonDialog::Filter, "*.bmp");
    dialog.call(CommonDialog::ShowSave);
    EXPECT_EQ(fileName(), "/d/chart.bmp");
    dialog.put(CommonDialog::Filter, "Data (*.xml)|*.xml;*.xsd|All Files(*.*)|*.*||");
    dialog.call(CommonDialog::ShowOpen);
    EXPECT_EQ(fileName(), "/d/other.xml");
    dialog.call(CommonDialog::ShowOpen);
    EXPECT_EQ(fileName(), "/d/sample") << "opening never adds the extension";
    dialog.call(CommonDialog::ShowSave);
    EXPECT_EQ(fileName(), "/d/v1.2/x.bmp");
    dialog.call(CommonDialog::ShowSave);
    EXPECT_EQ(fileName(), "/d/.hidden");

    try {
        dialog.call(CommonDialog::ShowSave);
        ADD_FAILURE() << "a cancel must raise";
    } catch (const platform::RuntimeError& error) {
        EXPECT_EQ(error.number(), platform::err::CancelSelected);
    }
    EXPECT_EQ(fileName(), "/d/.hidden");

    ASSERT_EQ(shown.size(), 6u);
    EXPECT_EQ(shown[0].fileName, "");
    EXPECT_EQ(shown[0].nameFilters, QStringList({"*.bmp (*.bmp)"}));
    EXPECT_EQ(shown[1].fileName, "/d/chart.bmp");
    EXPECT_EQ(shown[1].mode, FileDialogRequest::Mode::Open);
    EXPECT_EQ(shown[5].nameFilters, QStringList({"Data (*.xml) (*.xml *.xsd)", "All Files(*.*) (*)"}))
        << "Qt takes the patterns from the last parentheses; \"*.*\" matches every file";
    for (const FileDialogRequest& request : shown)
        EXPECT_EQ(request.defaultSuffix, "bmp");
}

} // namespace
