#include "platform/common_dialog.h"
#include "platform/runtime_error.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

using platform::CommonDialog;
using platform::FileDialogRequest;
using platform::Variant;

// Stands in for the user: records what each showing asked and answers in turn.
struct User {
    std::vector<FileDialogRequest> requests;
    std::deque<std::optional<QString>> answers;
    platform::FileDialogPresenter presenter()
    {
        return [this](const FileDialogRequest& request) {
            requests.push_back(request);
            std::optional<QString> answer = answers.front();
            answers.pop_front();
            return answer;
        };
    }
};

int errorOf(const std::function<void()>& step)
{
    try {
        step();
    } catch (const platform::RuntimeError& error) {
        return error.number();
    }
    return 0;
}

TEST(CommonDialog, PropertiesStayFromOneShowingToTheNext)
{
    User user;
    user.answers = {QString("/data/chart"), QString("/data/other.xml"), QString("/data/sample"), std::nullopt};
    CommonDialog dialog(user.presenter());

    dialog.put(CommonDialog::DefaultExt, "bmp");
    dialog.put(CommonDialog::Filter, "*.bmp");
    dialog.call(CommonDialog::ShowSave);
    // A saved name without an extension takes the default one.
    EXPECT_EQ(dialog.get(CommonDialog::FileName), Variant("/data/chart.bmp"));

    dialog.put(CommonDialog::Filter, "Rendrix Data Files (*.xml)|*.xml|All Files(*.*)|*.*||");
    dialog.call(CommonDialog::ShowOpen);
    EXPECT_EQ(dialog.get(CommonDialog::FileName), Variant("/data/other.xml"));

    dialog.call(CommonDialog::ShowOpen);
    EXPECT_EQ(dialog.get(CommonDialog::FileName), Variant("/data/sample")) << "open never adds an extension";

    // A cancel raises 32755 and keeps the name chosen last.
    EXPECT_EQ(errorOf([&] { dialog.call(CommonDialog::ShowSave); }), platform::err::CancelSelected);
    EXPECT_EQ(dialog.get(CommonDialog::FileName), Variant("/data/sample"));

    ASSERT_EQ(user.requests.size(), 4u);
    EXPECT_EQ(user.requests[0].mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(user.requests[0].fileName, "");
    EXPECT_EQ(user.requests[0].nameFilters, QStringList({"*.bmp"}));
    EXPECT_EQ(user.requests[1].mode, FileDialogRequest::Mode::Open);
    EXPECT_EQ(user.requests[1].fileName, "/data/chart.bmp");
    for (const FileDialogRequest& request : user.requests)
        EXPECT_EQ(request.defaultSuffix, "bmp");
    EXPECT_EQ(user.requests[3].fileName, "/data/sample");
}

TEST(CommonDialog, DefaultExtensionOnlyWhereTheNameHasNone)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/d/chart", "/d/chart.bmp"},
        {"/d/chart.png", "/d/chart.png"},
        {"/d/v1.2/chart", "/d/v1.2/chart.bmp"},
        {"/d/.hidden", "/d/.hidden"},
    };
    for (auto [chosen, expected] : cases) {
        User user;
        user.answers = {QString(chosen)};
        CommonDialog dialog(user.presenter());
        dialog.put(CommonDialog::DefaultExt, ".bmp");
        dialog.call(CommonDialog::ShowSave);
        EXPECT_EQ(dialog.get(CommonDialog::FileName), Variant(expected));
    }
}

TEST(CommonDialog, MembersAndTheirArguments)
{
    User user;
    CommonDialog dialog(user.presenter());
    EXPECT_EQ(errorOf([&] { dialog.call(2); }), platform::err::ObjectDoesntSupport);
    EXPECT_EQ(errorOf([&] { dialog.put(CommonDialog::ShowOpen, Variant(true)); }), platform::err::ObjectDoesntSupport);
    EXPECT_EQ(errorOf([&] { dialog.call(CommonDialog::ShowOpen, {Variant(true)}); }),
              platform::err::WrongNumberOfArguments);
    dialog.put(CommonDialog::FileName, "/x/y.xml");
    EXPECT_EQ(dialog.get(CommonDialog::FileName), Variant("/x/y.xml"));
    EXPECT_TRUE(user.requests.empty());
}

TEST(CommonDialog, FilterTextBecomesQtNameFilters)
{
    const std::pair<QString, QStringList> cases[] = {
        {"Rendrix Data Files (*.xml)|*.xml|All Files(*.*)|*.*||",
         {"Rendrix Data Files (*.xml) (*.xml)", "All Files(*.*) (*)"}},
        {"Plotwright Samples (*.pws)|*.pws|All Files(*.*)|*.*||", {"Plotwright Samples (*.pws) (*.pws)", "All Files(*.*) (*)"}},
        {"*.bmp", {"*.bmp"}},
        {"Pictures|*.bmp;*.dib", {"Pictures (*.bmp *.dib)"}},
        {"", {}},
    };
    for (const auto& [filter, expected] : cases)
        EXPECT_EQ(platform::nameFiltersOf(filter), expected) << filter.toStdString();
}

}  // namespace
