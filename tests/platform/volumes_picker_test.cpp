#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/shell_dialogs.h"
#include "tests/support/temp_folder.h"

namespace {

BROWSEINFOA Request(const char* initialFolder) {
    BROWSEINFOA info;
    info.lpszTitle = "Pick a folder.";
    info.ulFlags = BIF_STATUSTEXT | BIF_EDITBOX | BIF_VALIDATE;
    info.caption = "Picker caption";
    info.initialFolder = initialFolder;
    return info;
}

// Runs the real dialog once; `answer` acts on it while it is up and
// returns what the test saw of it.
struct TShownDialog {
    QString title;
    QString directory;
    bool picked = false;
    std::string folder;
};

TShownDialog ShowAndAnswer(const BROWSEINFOA& info,
                           const std::function<void(QFileDialog*)>& answer) {
    TShownDialog shown;
    int argc = 1;
    char name[] = "picker";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll.stop();
        shown.title = dialog->windowTitle();
        shown.directory = dialog->directory().absolutePath();
        answer(dialog);
    });
    poll.start(10);
    shown.picked = SHBrowseForFolderA(&info, &shown.folder);
    return shown;
}

} // namespace

TEST(FolderPicker, WithoutAUserInterfaceNothingIsPicked) {
    if (QCoreApplication::instance())
        GTEST_SKIP() << "another test left its application";
    BROWSEINFOA info = Request(nullptr);
    std::string folder = "stale";
    EXPECT_FALSE(SHBrowseForFolderA(&info, &folder));
    EXPECT_EQ(folder, "");
    EXPECT_FALSE(SHBrowseForFolderA(nullptr, &folder));
}

TEST(FolderPicker, TheDialogStartsAtTheInitialFolderAndGivesThePickedOneOrNoneWhenCancelled) {
    TTempFolder start;
    const std::string picked = start.File("DCIM");
    std::filesystem::create_directories(picked);
    const std::string workingFolder = std::filesystem::current_path().string();
    BROWSEINFOA info = Request(start.Path().c_str());
    TShownDialog shown = ShowAndAnswer(info, [&](QFileDialog* dialog) {
        dialog->setDirectory(QString::fromStdString(picked));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(shown.title, "Picker caption");
    EXPECT_EQ(shown.directory.toStdString(), std::filesystem::canonical(start.Path()).string());
    EXPECT_TRUE(shown.picked);
    EXPECT_EQ(std::filesystem::canonical(shown.folder), std::filesystem::canonical(picked));
    EXPECT_EQ(std::filesystem::current_path().string(), workingFolder);

    shown = ShowAndAnswer(Request(nullptr), [](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_FALSE(shown.picked);
    EXPECT_EQ(shown.folder, "");
}
