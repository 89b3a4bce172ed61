#include "host/wizard.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/session.h"
#include "base/ui.h"
#include "base/web_project.h"
#include "host/wizard_window.h"
#include "support/temp_dir.h"

namespace tvk {
namespace {

// A window that records what the entry point asks of it.
class RecordingWindow final : public WizardWindow {
 public:
  void Show(bool modal) override {
    ++shows;
    modal_ = modal;
    open_ = !modal;  // a modal window has closed again when Show returns
    if (modal && duringModal) {
      open_ = true;
      duringModal();
      open_ = false;
    }
  }
  bool IsOpen() const override { return open_; }
  bool IsModal() const override { return modal_ && open_; }
  void BringToFront() override { ++fronts; }

  int shows = 0;
  int fronts = 0;
  std::function<void()> duringModal;

 private:
  bool open_ = false;
  bool modal_ = false;
};

class RecordingFactory final : public WizardWindowFactory {
 public:
  std::shared_ptr<WizardWindow> createWindow() override {
    ++created;
    return window;
  }
  std::shared_ptr<RecordingWindow> window = std::make_shared<RecordingWindow>();
  int created = 0;
};

class EntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::writeFile(dir / "site.wproj", "<WebProject Name=\"Site\"/>");
    application->projects.push_back(WebProject::Load(dir / "site.wproj"));
  }

  ContextParams params(const std::string& folder, const std::string& item, long lowerBound = 1) {
    ContextParams p;
    p.lowerBound = lowerBound;
    p.values = {std::string("wizard"), std::string("site/"), ProjectFolderParam{folder}, dir.path(), item};
    return p;
  }

  test::ScopedTempDir dir;
  std::shared_ptr<ConsoleUi> ui = std::make_shared<ConsoleUi>();
  Session session{ui};
  std::shared_ptr<RecordingFactory> factory = std::make_shared<RecordingFactory>();
  std::shared_ptr<Application> application = std::make_shared<Application>();
  Wizard wizard{session, factory};
};

TEST_F(EntryTest, RecordsTheContextAndShowsTheWindowWithoutBlocking) {
  long retval = 0;
  ContextParams p = params("pages\\sub", "My New Page");
  wizard.IDTWizard_Execute(application, 0, &p, nullptr, retval);
  EXPECT_EQ(retval, -1);
  EXPECT_TRUE(session.gbInEnvironment);
  EXPECT_EQ(session.gsProjectName, "site/");
  EXPECT_EQ(session.gsLocalDirectory, dir.path());
  EXPECT_EQ(session.gsItemName, "MyNewPage");
  EXPECT_EQ(session.gsTargetDirectory, dir / "pages/sub");
  ASSERT_NE(session.goProject, nullptr);
  EXPECT_EQ(session.goProject->name(), "Site");
  EXPECT_EQ(session.goApplication, nullptr);  // held only during the call
  EXPECT_EQ(factory->window->shows, 1);
  EXPECT_TRUE(factory->window->IsOpen());
  EXPECT_TRUE(ui->shown().empty());

  // A second start reads the new context and brings the same window forward.
  ContextParams again = params("", "Other");
  retval = 0;
  wizard.IDTWizard_Execute(application, 0, &again, nullptr, retval);
  EXPECT_EQ(retval, -1);
  EXPECT_EQ(session.gsTargetDirectory, dir.path());
  EXPECT_EQ(session.gsItemName, "Other");
  EXPECT_EQ(factory->created, 1);
  EXPECT_EQ(factory->window->shows, 1);
  EXPECT_EQ(factory->window->fronts, 1);
}

TEST_F(EntryTest, SecondStartWhileModalIsRefused) {
  long retval = 7;
  factory->window->duringModal = [&] {
    ContextParams p = params("", "x");
    wizard.IDTWizard_Execute(application, 0, &p, nullptr, retval);
  };
  wizard.Execute();      // stand-alone: modal; the environment tries to start meanwhile
  EXPECT_EQ(retval, 7);  // left unchanged
  ASSERT_EQ(ui->shown().size(), 1u);
  EXPECT_EQ(ui->shown()[0], "TVK Wizard: You already have an instance\nof TVK Wizard running.");
  EXPECT_EQ(factory->window->shows, 1);  // nothing else opened
}

TEST_F(EntryTest, BadContextGetsTheStandardReport) {
  long retval = 0;
  wizard.IDTWizard_Execute(application, 0, nullptr, nullptr, retval);
  EXPECT_EQ(retval, 0);
  ASSERT_FALSE(ui->shown().empty());
  EXPECT_NE(ui->shown()[0].find("Source : TVKWizard.Wizard.IDTWizard_Execute"), std::string::npos);
  EXPECT_EQ(factory->window->shows, 0);

  // Ignore goes on with the next step: a two-dimensional array is refused,
  // and the window is shown all the same.
  ui->pushAnswer(MsgResult::Ignore);
  ui->pushAnswer(MsgResult::Ignore);
  ContextParams twoDimensional = params("", "x");
  twoDimensional.dimensions = 2;
  wizard.IDTWizard_Execute(application, 0, &twoDimensional, nullptr, retval);
  EXPECT_EQ(retval, -1);
  EXPECT_EQ(factory->window->shows, 1);
}

TEST(Entry, WithoutAWindowTheStandAloneStartReports) {
  auto ui = std::make_shared<ConsoleUi>();
  Session session{ui};
  Wizard(session, nullptr).Execute();
  ASSERT_EQ(ui->shown().size(), 1u);
  EXPECT_NE(ui->shown()[0].find("Source : TVKWizard.Wizard.Execute"), std::string::npos);
  EXPECT_FALSE(session.gbInEnvironment);
}

}  // namespace
}  // namespace tvk
