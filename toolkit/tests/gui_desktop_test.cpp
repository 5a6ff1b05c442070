// The desktop's services under a display: while a message box or the folder picker stands, the
// program's timers and posted messages go on as in a modal skinned dialog; pages go to the opener.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_io.h"
#include "platform/paths.h"
#include "testing/temp_folder.h"
#include "toolkit/core/dispatcher.h"
#include "toolkit/desktop/desktop.h"
#include "toolkit/testing/recording_window.h"
#include "toolkit/tests/nested_dialogs.h"

using toolkit_testing::NestedDialogs;
using toolkit_testing::RecordingWnd;

namespace {

constexpr UINT kOpen = WM_APP + 1;
constexpr UINT kFrame = WM_APP + 11;

// The first shown top-level window of the given GTK type, or null.
GtkWidget* ShownDialog(GType type) {
  GtkWidget* found = nullptr;
  GList* all = gtk_window_list_toplevels();
  for (GList* w = all; w && !found; w = w->next) {
    if (G_TYPE_CHECK_INSTANCE_TYPE(w->data, type) && gtk_widget_get_visible(GTK_WIDGET(w->data))) {
      found = GTK_WIDGET(w->data);
    }
  }
  g_list_free(all);
  return found;
}

// Answers the dialog of the given type with response once it has stood for standMs; the answer
// comes from a GLib source, so it arrives whichever loop is running.
class Answerer {
 public:
  Answerer(GType type, int response, int standMs) : type_(type), response_(response), standMs_(standMs) {
    source_ = g_timeout_add(10, &Answerer::Tick, this);
  }
  ~Answerer() {
    if (source_) g_source_remove(source_);
  }
  Answerer(const Answerer&) = delete;
  Answerer& operator=(const Answerer&) = delete;

 private:
  static gboolean Tick(gpointer data) {
    auto* self = static_cast<Answerer*>(data);
    GtkWidget* dialog = ShownDialog(self->type_);
    if (!dialog) return G_SOURCE_CONTINUE;
    auto now = std::chrono::steady_clock::now();
    if (!self->seen_) {
      self->seen_ = true;
      self->shownAt_ = now;
    }
    if (now - self->shownAt_ < std::chrono::milliseconds(self->standMs_)) return G_SOURCE_CONTINUE;
    self->source_ = 0;
    gtk_dialog_response(GTK_DIALOG(dialog), self->response_);
    return G_SOURCE_REMOVE;
  }

  GType type_;
  int response_;
  int standMs_;
  guint source_ = 0;
  bool seen_ = false;
  std::chrono::steady_clock::time_point shownAt_;
};

// A window with a 50 ms timer, fed a frame every 10 ms from another thread, that opens a native
// dialog when told to by a posted message and counts what reached it while the dialog stood.
class BusyOwner {
 public:
  explicit BusyOwner(std::function<void()> openDialog) {
    window.onMessage = [this, openDialog](UINT msg, WPARAM, LPARAM, bool& handled) -> LRESULT {
      if (msg == WM_TIMER) ++ticks_;
      if (msg == kFrame) ++frames_;
      if (msg == kOpen) {
        handled = true;
        int ticksBefore = ticks_, framesBefore = frames_;
        openDialog();
        ticksDuring = ticks_ - ticksBefore;
        framesDuring = frames_ - framesBefore;
        done = true;
      }
      return 0;
    };
    EXPECT_TRUE(window.Create(nullptr, "busy owner", WS_POPUP | WS_VISIBLE, 100, 100, 200, 120));
    SetTimer(window, 1, 50);
    feeder_ = std::thread([this] {
      while (!stop_) {
        window.PostMessage(kFrame, 0, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    });
  }
  ~BusyOwner() {
    stop_ = true;
    feeder_.join();
    window.onMessage = nullptr;
    DestroyWindow(window);
  }
  BusyOwner(const BusyOwner&) = delete;
  BusyOwner& operator=(const BusyOwner&) = delete;

  // Opens the dialog from a posted message and runs the loop until it is answered (at most 10 s).
  bool Run() {
    PostMessage(window, kOpen, 0, 0);
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    // The owner's timer wakes the loop often enough to notice the time limit.
    toolkit::Dispatcher::Instance().RunUntil([&] { return done || std::chrono::steady_clock::now() > until; });
    return done;
  }

  RecordingWnd window;
  int ticksDuring = -1;
  int framesDuring = -1;
  bool done = false;

 private:
  int ticks_ = 0;
  int frames_ = 0;
  std::atomic<bool> stop_{false};
  std::thread feeder_;
};

}  // namespace

TEST(RealDesktop, TimersAndPostedMessagesGoOnWhileAMessageBoxStands) {
  ASSERT_FALSE(toolkit::Dispatcher::Instance().GetBackend().IsHeadless()) << "no display";
  int answer = 0;
  BusyOwner owner([&] {
    answer = toolkit::ShowMessageBox(owner.window, "确认退出吗？", "Vymera同步软件", MB_YESNO | MB_ICONQUESTION);
  });
  Answerer answerer(GTK_TYPE_DIALOG, GTK_RESPONSE_YES, 1000);
  ASSERT_TRUE(owner.Run());
  std::printf("during a one-second message box: %d timer ticks, %d posted messages\n", owner.ticksDuring,
              owner.framesDuring);
  EXPECT_EQ(answer, static_cast<int>(IDYES));
  // About 20 and 100 on an idle machine; a loaded one runs the loop less often, but never not at all.
  EXPECT_GE(owner.ticksDuring, 5);
  EXPECT_GE(owner.framesDuring, 10);
}

namespace {

void CollectButtons(GtkWidget* widget, std::vector<GtkWidget*>& buttons) {
  if (GTK_IS_BUTTON(widget)) buttons.push_back(widget);
  if (!GTK_IS_CONTAINER(widget)) return;
  GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
  for (GList* c = children; c; c = c->next) CollectButtons(GTK_WIDGET(c->data), buttons);
  g_list_free(children);
}

// Once a dialog has stood drawn for a moment: notes where it stands and its buttons' texts, saves
// what the screen shows of it, and clicks the button at index.
class BoxLooker {
 public:
  BoxLooker(std::string shot, size_t click) : shot_(std::move(shot)), click_(click) {
    source_ = g_timeout_add(300, &BoxLooker::Tick, this);
  }
  ~BoxLooker() {
    if (source_) g_source_remove(source_);
  }
  BoxLooker(const BoxLooker&) = delete;
  BoxLooker& operator=(const BoxLooker&) = delete;

  GdkRectangle place{};
  std::vector<std::string> labels;

 private:
  static gboolean Tick(gpointer data) {
    auto* self = static_cast<BoxLooker*>(data);
    GtkWidget* dialog = ShownDialog(GTK_TYPE_DIALOG);
    if (!dialog || !gtk_widget_get_mapped(dialog)) return G_SOURCE_CONTINUE;
    GdkWindow* window = gtk_widget_get_window(dialog);
    gdk_window_get_origin(window, &self->place.x, &self->place.y);
    self->place.width = gdk_window_get_width(window);
    self->place.height = gdk_window_get_height(window);
    std::vector<GtkWidget*> buttons;
    CollectButtons(dialog, buttons);
    for (GtkWidget* b : buttons) self->labels.push_back(gtk_button_get_label(GTK_BUTTON(b)));
    platform::MakeFolderTree(VYMERA_SCREENSHOT_DIR);
    if (GdkPixbuf* shot = gdk_pixbuf_get_from_window(gdk_get_default_root_window(), self->place.x, self->place.y,
                                                     self->place.width, self->place.height)) {
      gdk_pixbuf_save(shot, (std::string(VYMERA_SCREENSHOT_DIR "/") + self->shot_).c_str(), "png", nullptr, nullptr);
      g_object_unref(shot);
    }
    if (self->click_ < buttons.size()) gtk_button_clicked(GTK_BUTTON(buttons[self->click_]));
    self->source_ = 0;
    return G_SOURCE_REMOVE;
  }

  std::string shot_;
  size_t click_;
  guint source_ = 0;
};

}  // namespace

TEST(RealDesktop, TheMessageBoxStandsCentredWithChineseButtonsWhateverTheLocale) {
  ASSERT_FALSE(toolkit::Dispatcher::Instance().GetBackend().IsHeadless()) << "no display";
  {
    // Without an owner: the middle of the work area.
    BoxLooker looker("message-box-question.png", 1);
    int answer = toolkit::ShowMessageBox(nullptr, "您确实要删除Vymera同步软件及其相关组件吗？",
                                         "Vymera同步软件 卸载程序", MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(answer, static_cast<int>(IDNO));
    EXPECT_EQ(looker.labels, (std::vector<std::string>{"是", "否"}));
    RECT work;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_NEAR(looker.place.x + looker.place.width / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR(looker.place.y + looker.place.height / 2, (work.top + work.bottom) / 2, 1);
    // The buttons' row is where a click at the box's bottom right finds it.
    EXPECT_GE(looker.place.width, 360);
  }
  {
    // Over its owner: the middle of the owner's window.
    RecordingWnd owner;
    ASSERT_TRUE(owner.Create(nullptr, "owner", WS_POPUP | WS_VISIBLE, 0, 300, 200, 500, 400));
    BoxLooker looker("message-box-warning.png", 0);
    int answer = toolkit::ShowMessageBox(owner, "无法写入开机启动项。\n请确认该文件夹可以写入。", "安装程序",
                                         MB_OKCANCEL | MB_ICONWARNING);
    EXPECT_EQ(answer, static_cast<int>(IDOK));
    EXPECT_EQ(looker.labels, (std::vector<std::string>{"确定", "取消"}));
    EXPECT_NEAR(looker.place.x + looker.place.width / 2, 300 + 250, 1);
    EXPECT_NEAR(looker.place.y + looker.place.height / 2, 200 + 200, 1);
    DestroyWindow(owner);
  }
}

TEST(RealDesktop, TimersAndPostedMessagesGoOnWhileTheFolderPickerStands) {
  setenv("GSETTINGS_BACKEND", "memory", 1);  // the picker keeps its settings; there is no session bus
  ASSERT_FALSE(toolkit::Dispatcher::Instance().GetBackend().IsHeadless()) << "no display";
  std::optional<std::string> picked = "unset";
  BusyOwner owner([&] { picked = toolkit::BrowseForFolder(owner.window, "浏览文件夹："); });
  Answerer answerer(GTK_TYPE_FILE_CHOOSER_DIALOG, GTK_RESPONSE_CANCEL, 1000);
  ASSERT_TRUE(owner.Run());
  EXPECT_EQ(picked, std::nullopt);
  // The picker reads folders in the same loop, so fewer turns come round than under a message box.
  EXPECT_GE(owner.ticksDuring, 3);
  EXPECT_GE(owner.framesDuring, 3);
  EXPECT_TRUE(IsWindowEnabled(owner.window));
}

TEST(RealDesktop, AClickOpensADialogWhoseClickOpensAMessageBoxAndTheTimerTicksThroughout) {
  ASSERT_FALSE(toolkit::Dispatcher::Instance().GetBackend().IsHeadless()) << "no display";
  Answerer answerer(GTK_TYPE_DIALOG, GTK_RESPONSE_YES, 1000);
  NestedDialogs rig(50, 300);
  ASSERT_TRUE(rig.Run());
  ASSERT_TRUE(rig.boxShown);
  EXPECT_EQ(rig.answer, static_cast<int>(IDYES));
  EXPECT_GE(rig.withoutBox.ticks, 3);
  EXPECT_GE(rig.duringBox.ticks, 5);
  EXPECT_GE(rig.duringBox.pings, 5);
  EXPECT_TRUE(rig.ownersDisabledDuringBox);
  EXPECT_TRUE(IsWindowEnabled(rig.Main()));
}

namespace {

// PATH pointing at a folder whose "xdg-open" writes its arguments, one a line, to a file.
class FakeOpener {
 public:
  // exitCode: what the opener ends with (xdg-open ends with 3 when it finds no browser).
  explicit FakeOpener(const std::string& folder, int exitCode = 0) : out_(folder + "/opened") {
    std::string script = folder + "/xdg-open";
    EXPECT_TRUE(platform::WriteFileAtomically(
        script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + out_ + ".tmp' && mv '" + out_ + ".tmp' '" + out_ +
                    "'\nexit " + std::to_string(exitCode) + "\n"));
    chmod(script.c_str(), 0755);
    const char* path = std::getenv("PATH");
    old_ = path ? path : "";
    setenv("PATH", (folder + ":/usr/bin:/bin").c_str(), 1);
  }
  ~FakeOpener() { setenv("PATH", old_.c_str(), 1); }
  FakeOpener(const FakeOpener&) = delete;
  FakeOpener& operator=(const FakeOpener&) = delete;

  // What the opener was given, once it has run (it runs in the background).
  std::optional<std::string> Opened() const {
    for (int i = 0; i < 300; ++i) {
      if (auto text = platform::ReadWholeFile(out_)) return text;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::nullopt;
  }

 private:
  std::string out_;
  std::string old_;
};

}  // namespace

TEST(RealDesktop, PagesGoToTheOpenerAsOneArgumentUntouchedByAShell) {
  ASSERT_FALSE(toolkit::Dispatcher::Instance().GetBackend().IsHeadless()) << "no display";
  testing_support::TempFolder temp;
  FakeOpener opener(temp.path());
  std::string url =
      "http://127.0.0.1:1/softlogin.php?re_url=%2Fhome&logincode=a b;$(touch " + temp.File("pwned") + ")`id`'\"";
  ASSERT_TRUE(toolkit::OpenUrl(url));
  auto opened = opener.Opened();
  ASSERT_TRUE(opened);
  EXPECT_EQ(*opened, url + "\n");
  EXPECT_FALSE(platform::PathExists(temp.File("pwned")));
  setenv("PATH", temp.File("nowhere").c_str(), 1);
  EXPECT_FALSE(toolkit::OpenUrl("http://127.0.0.1:1/"));  // no opener to hand it to
}

TEST(RealDesktop, AnOpenerThatFindsNoBrowserIsToldLater) {
  ASSERT_FALSE(toolkit::Dispatcher::Instance().GetBackend().IsHeadless()) << "no display";
  testing_support::TempFolder temp;
  for (int exitCode : {0, 3}) {
    FakeOpener opener(temp.path(), exitCode);
    bool failed = false;
    ASSERT_TRUE(toolkit::OpenUrl("http://127.0.0.1:1/home", SW_SHOWMAXIMIZED, [&] { failed = true; }));
    ASSERT_TRUE(opener.Opened());
    // The opener's end reaches the loop a moment after it wrote what it was given.
    for (int i = 0; i < 200 && !failed; ++i) {
      while (g_main_context_iteration(nullptr, FALSE)) {
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(failed, exitCode != 0) << exitCode;
    std::remove(temp.File("opened").c_str());
  }
}

TEST(RealDesktop, ScreenAndWorkAreaAreTheDisplays) {
  ASSERT_FALSE(toolkit::Dispatcher::Instance().GetBackend().IsHeadless()) << "no display";
  GdkRectangle screen;
  gdk_monitor_get_geometry(gdk_display_get_monitor(gdk_display_get_default(), 0), &screen);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), screen.width);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), screen.height);
  RECT work;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_GT(work.right - work.left, 0);
  EXPECT_LE(work.right - work.left, screen.width);
  EXPECT_LE(work.bottom, screen.y + screen.height);
}
