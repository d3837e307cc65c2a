// The image canvas: each plot becomes a 640 x 480 PNG in the palette colours,
// under a new name every time.
#include "platform/cairo_canvas.hpp"

#include <cairo.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <fstream>
#include <set>

#include "plots/compartment_plot.hpp"
#include "platform/files.hpp"
#include "plots/percent_plots.hpp"
#include "support/child_process.hpp"
#include "support/file_faults.hpp"
#include "support/plot_run.hpp"
#include "support/session.hpp"

using namespace orva;
using namespace orva::testing;

namespace {

struct Picture {
  int width = 0, height = 0;
  std::vector<unsigned> pixels;
  unsigned at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Picture read_png(const std::filesystem::path& path) {
  Picture pic;
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
    pic.width = cairo_image_surface_get_width(s);
    pic.height = cairo_image_surface_get_height(s);
    int stride = cairo_image_surface_get_stride(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    for (int y = 0; y < pic.height; ++y)
      for (int x = 0; x < pic.width; ++x)
        pic.pixels.push_back(reinterpret_cast<const unsigned*>(data + y * stride)[x] & 0xFFFFFF);
  }
  cairo_surface_destroy(s);
  return pic;
}

// The colours found in a pixel rectangle.
std::set<unsigned> colours_in(const Picture& pic, int x0, int y0, int x1, int y1) {
  std::set<unsigned> found;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) found.insert(pic.at(x, y));
  return found;
}

}  // namespace

// Each plot of the trimix dive: the file, its size, the red header text (the
// cells of " ORVA V 3_10" hold red glyphs on black and nothing else) and the
// colour inside a few bars and lines.
TEST(CairoCanvas, EachPlotWritesAReadablePicture) {
  struct Spot {
    int x, y;
    unsigned rgb;
    const char* what;
  };
  struct Case {
    const char* name;
    PlotHandler plot;
    int header_column;
    std::vector<Spot> spots;
  };
  const std::vector<Case> cases = {
      {"P",
       compartment_pressure_plot,
       1,
       {{44, 400, 0xFFFF00, "nitrogen bar of compartment 1"},
        {60, 400, 0x0000FF, "helium bar of compartment 1"},
        {53, 400, 0xFFFFFF, "sum bar of compartment 1"},
        {50, 253, 0xFF0000, "tolerated-pressure mark of compartment 1"},
        {200, 342, 0x00FF00, "nitrogen line"},
        {14, 300, 0xFFFF00, "pressure axis"}}},
      {"PCT",
       percent_saturation_plot,
       2,
       {{83, 380, 0x00FF00, "green bar of compartment 1"}, {300, 144, 0xFFFF00, "GF Hi line at 85 %"}}},
      {"HM",
       trimix_heat_map,
       2,
       {{112, 380, 0xFFFF00, "yellow bar of compartment 2"},
        {315, 380, 0x00FF00, "green bar of compartment 9"},
        {300, 319, 0xFFFF00, "GF Lo line at 30 %"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempHome home;
    DiveState st = trimix_dive_state();
    CairoCanvas canvas(home.path() / "PLOTS");
    PlotRun r = run_plot(c.plot, st, canvas);
    std::filesystem::path file = home.path() / "PLOTS" / (std::string(c.name) + "-0001.png");
    ASSERT_EQ(r.notes, std::vector<std::string>{"Grafik gespeichert: " + file.string()});
    Picture pic = read_png(file);
    ASSERT_EQ(pic.width, 640);
    ASSERT_EQ(pic.height, 480);
    int left = c.header_column * 8, right = left + 11 * 8 - 1;  // "ORVA V 3_10"
    EXPECT_EQ(colours_in(pic, left, 0, right, 15), (std::set<unsigned>{0x000000, 0xFF0000}));
    for (const Spot& s : c.spots) EXPECT_EQ(pic.at(s.x, s.y), s.rgb) << s.what;
  }
}

// Every item lies over what was painted before it: written text hides a line
// drawn earlier behind its black background, from its first to its last
// non-blank character (outer blanks leave the picture as it was), and a line
// drawn after the text paints over it.
TEST(CairoCanvas, EachItemPaintsOverWhatCameBefore) {
  TempHome home;
  CairoCanvas canvas(home.path() / "PLOTS");
  canvas.gfx_set_mode(18);
  // Before any window the world is the pixel grid. Pixel row 30 lies in text
  // row 2 (pixels 16 to 31), below the glyphs of capitals.
  canvas.gfx_set_colour(12);
  canvas.gfx_move_to(0, 30);
  canvas.gfx_line_to(639, 30);
  canvas.gfx_set_text_colour(15);
  canvas.gfx_set_text_position(2, 3);
  canvas.gfx_write_text(" AB CD ");  // columns 3 to 9, pixels 16 to 71
  canvas.gfx_set_colour(9);
  canvas.gfx_move_to(44, 0);  // through the blank at column 6
  canvas.gfx_line_to(44, 100);
  std::optional<std::filesystem::path> file = canvas.gfx_save_picture("T");
  ASSERT_TRUE(file);
  Picture pic = read_png(*file);
  ASSERT_EQ(pic.width, 640);

  struct Spot {
    int x, y;
    unsigned rgb;
    const char* what;
  };
  const Spot spots[] = {
      {10, 30, 0xFF0000, "the earlier line left of the text"},
      {20, 30, 0xFF0000, "the earlier line under the leading blank"},
      {28, 30, 0x000000, "the earlier line under \"A\""},
      {42, 30, 0x000000, "the earlier line under the inner blank"},
      {60, 30, 0x000000, "the earlier line under \"D\""},
      {68, 30, 0xFF0000, "the earlier line under the trailing blank"},
      {44, 30, 0x0000FF, "the later line over the text"},
      {44, 16, 0x0000FF, "the later line at the top of the text row"},
  };
  for (const Spot& s : spots) EXPECT_EQ(pic.at(s.x, s.y), s.rgb) << s.what;
  EXPECT_EQ(colours_in(pic, 24, 16, 31, 31), (std::set<unsigned>{0x000000, 0xFFFFFF})) << "the cell of \"A\"";
}

// Bars and lines that reach the header rows keep their whole length there,
// over the header text: the sum bars of compartments 1 to 4 after 20 minutes
// at 80 m on 12/60 trimix (7.68, 7.38, 6.90 and 6.22 bar, tops at pixel rows
// 18, 35, 62 and 100), the GF Hi line at 120 % (pixel row 32) from the axis to
// its end, and the dark red heat-map bars of the fast compartments after a
// further minute at 12 m, above 130 % and so through header rows 1 to 6.
TEST(CairoCanvas, ChartOverTheHeaderRows) {
  const std::string deep_dive = "M\n0.12\n0.60\nD\n80.\n20.\n";
  struct Stretch {
    int x0, y0, x1, y1;
    unsigned rgb;
    const char* what;
  };
  struct Case {
    const char* name;
    std::string commands;
    std::vector<Stretch> stretches;
  };
  const std::vector<Case> cases = {
      {"P",
       "P\n\n",
       {{50, 18, 56, 111, 0xFFFFFF, "sum bar of compartment 1"},
        {85, 35, 90, 111, 0xFFFFFF, "sum bar of compartment 2"},
        {120, 62, 125, 111, 0xFFFFFF, "sum bar of compartment 3"},
        {155, 100, 160, 111, 0xFFFFFF, "sum bar of compartment 4"}}},
      {"PCT", "GF\n1.2\n1.2\n%P\n\n", {{58, 32, 537, 32, 0xFFFF00, "GF Hi line"}}},
      {"HM",
       "D\n12.\n1.\nHM\n\n",
       {{110, 0, 115, 95, 0x800000, "bar of compartment 2"},
        {139, 0, 145, 95, 0x800000, "bar of compartment 3"},
        {197, 0, 203, 95, 0x800000, "bar of compartment 5"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempHome home(false);  // no protocol folder: the session asks for no comment
    CairoCanvas canvas(home.path() / "PLOTS");
    SessionResult r = run_session(deep_dive + c.commands + "Q\n", home.path(), &canvas);
    EXPECT_EQ(r.exit_code, 0);
    Picture pic = read_png(home.path() / "PLOTS" / (std::string(c.name) + "-0001.png"));
    ASSERT_EQ(pic.width, 640);
    for (const Stretch& s : c.stretches)
      EXPECT_EQ(colours_in(pic, s.x0, s.y0, s.x1, s.y1), std::set<unsigned>{s.rgb}) << s.what;
  }
}

// A new name for every plot; an earlier picture stays as it was.
TEST(CairoCanvas, NeverOverwritesAPicture) {
  TempHome home;
  home.write("PLOTS/P-0001.png", "an earlier picture");
  CairoCanvas canvas(home.path() / "PLOTS");
  DiveState st = trimix_dive_state();
  PlotRun first = run_plot(compartment_pressure_plot, st, canvas);
  PlotRun second = run_plot(compartment_pressure_plot, st, canvas);
  EXPECT_EQ(home.read("PLOTS/P-0001.png"), "an earlier picture");
  EXPECT_EQ(first.notes, std::vector<std::string>{"Grafik gespeichert: " + (home.path() / "PLOTS/P-0002.png").string()});
  EXPECT_EQ(second.notes, std::vector<std::string>{"Grafik gespeichert: " + (home.path() / "PLOTS/P-0003.png").string()});
  EXPECT_EQ(read_png(home.path() / "PLOTS/P-0003.png").width, 640);
}

// The newest picture has the highest number of its name, also after older
// pictures were deleted: the number after the highest one present, whatever
// stands under it. Pictures of other names and other files do not count.
// The numbers end at 999999: after it no picture is saved, and the note says
// why.
TEST(CairoCanvas, ANewPictureTakesTheNumberAfterTheHighest) {
  struct Case {
    std::vector<std::string> present;
    std::string next;  // "" when there is none
  };
  const std::vector<Case> cases = {
      {{}, "P-0001.png"},
      {{"P-0003.png"}, "P-0004.png"},  // P-0001 and P-0002 deleted
      {{"P-0002.png", "P-0009.png", "P-0005.png"}, "P-0010.png"},
      {{"P-9999.png"}, "P-10000.png"},
      {{"PCT-0007.png", "P-0007.txt", "P-0007.png.bak", "P-07.png", "P-x007.png", "XP-0007.png"}, "P-0001.png"},
      {{"P-0004.png/"}, "P-0005.png"},  // a folder of that name
      // A picture number has four to six digits.
      {{"P-1234567.png"}, "P-0001.png"},
      {{"P-0000007.png"}, "P-0001.png"},
      {{"P-123456.png", "P-9999999.png"}, "P-123457.png"},
      {{"P-000007.png", "P-0000009.png"}, "P-0008.png"},
      {{"P-999998.png"}, "P-999999.png"},
      {{"P-999999.png"}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.next.empty() ? "no name after " + c.present.back() : c.next);
    TempHome home;
    for (const std::string& name : c.present) {
      if (name.ends_with("/"))
        std::filesystem::create_directories(home.path() / "PLOTS" / name);
      else
        home.write("PLOTS/" + name, "an earlier file");
    }
    CairoCanvas canvas(home.path() / "PLOTS");
    DiveState st = trimix_dive_state();
    PlotRun r = run_plot(compartment_pressure_plot, st, canvas);
    const std::string note =
        c.next.empty() ? "Grafik nicht gespeichert: " + (home.path() / "PLOTS").string() + ": no free picture name"
                       : "Grafik gespeichert: " + (home.path() / "PLOTS" / c.next).string();
    EXPECT_EQ(r.notes, std::vector<std::string>{note});
    EXPECT_EQ(r.unread, 0u);
    const size_t files = static_cast<size_t>(std::distance(std::filesystem::directory_iterator(home.path() / "PLOTS"),
                                                           std::filesystem::directory_iterator()));
    EXPECT_EQ(files, c.present.size() + (c.next.empty() ? 0 : 1));
    for (const std::string& name : c.present) {
      if (name.ends_with("/")) continue;
      EXPECT_EQ(home.read("PLOTS/" + name), "an earlier file") << name;
    }
  }
}

// When the folder cannot be made the note says so, and the plot still waits
// for its line and returns to the text window.
TEST(CairoCanvas, PictureThatCannotBeWritten) {
  TempHome home;
  home.write("PLOTS", "a file where the folder should be");
  CairoCanvas canvas(home.path() / "PLOTS" / "deeper");
  DiveState st = trimix_dive_state();
  PlotRun r = run_plot(trimix_heat_map, st, canvas, {"", "next"});
  ASSERT_EQ(r.notes.size(), 1u);
  EXPECT_EQ(r.notes[0].rfind("Grafik nicht gespeichert: ", 0), 0u) << r.notes[0];
  EXPECT_EQ(r.unread, 1u);
  EXPECT_FALSE(r.ended_input);
  EXPECT_EQ(canvas.mode(), -1);
}

namespace {

std::vector<std::string> files_in(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

// Ctrl-C, a closed terminal or a termination signal while a plot writes its
// picture ends the program by that signal, and leaves no picture at all,
// neither a cut one nor its temporary file; a picture already there stays.
// A run killed outright leaves at most a hidden temporary file, never a
// picture without its end.
TEST(CairoCanvas, AnEndingSignalWhileThePictureIsWrittenLeavesNoCutPicture) {
  for (const int signal : {SIGINT, SIGHUP, SIGTERM, SIGKILL}) {
    SCOPED_TRACE(strsignal(signal));
    TempHome home;
    home.write("PLOTS/P-0001.png", "an earlier picture");
    Pipe written, go_on;
    Child plotting([&] {
      written.close_read();
      go_on.close_write();
      // The child stops once the picture is in its temporary file.
      stop_reached = written.write;
      stop_go_on = go_on.read;
      file_write_test_hook = tell_and_wait;
      CairoCanvas canvas(home.path() / "PLOTS");
      DiveState st = trimix_dive_state();
      run_plot(compartment_pressure_plot, st, canvas);
      return 0;
    });
    written.close_write();
    go_on.close_read();
    ASSERT_TRUE(plotting.started());
    ASSERT_TRUE(byte_arrives(written.read, 30));
    ::kill(plotting.pid(), signal);
    go_on.send();
    const std::optional<int> status = plotting.wait(30);
    ASSERT_TRUE(status) << "the child hangs";
    ASSERT_TRUE(WIFSIGNALED(*status));
    EXPECT_EQ(WTERMSIG(*status), signal);
    std::vector<std::string> names = files_in(home.path() / "PLOTS");
    if (signal == SIGKILL) {
      ASSERT_EQ(names.size(), 2u);
      EXPECT_EQ(names[0].rfind(".P.png.", 0), 0u) << names[0];
      names.erase(names.begin());
    }
    EXPECT_EQ(names, std::vector<std::string>{"P-0001.png"});
    EXPECT_EQ(home.read("PLOTS/P-0001.png"), "an earlier picture");
  }
}


// A folder on a file system that cannot rename without replacing (a network
// folder), and one that has no links either: the picture still lands whole
// under a new name, and an earlier picture stays.
TEST(CairoCanvas, APictureOnAFileSystemWithoutRenamingThatKeepsAnEarlierFile) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, int>> refused;
  } cases[] = {
      {"no rename that keeps a file", {{__NR_renameat2, EINVAL}}},
      {"no links either", {{__NR_renameat2, EINVAL}, {__NR_link, EPERM}, {__NR_linkat, EPERM}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempHome home;
    home.write("PLOTS/P-0001.png", "an earlier picture");
    Child plotting([&] {
      if (!refuse_calls(c.refused)) return 2;
      CairoCanvas canvas(home.path() / "PLOTS");
      DiveState st = trimix_dive_state();
      PlotRun r = run_plot(compartment_pressure_plot, st, canvas);
      return r.notes == std::vector<std::string>{"Grafik gespeichert: " + (home.path() / "PLOTS/P-0002.png").string()}
                 ? 0
                 : 1;
    });
    const std::optional<int> status = plotting.wait(60);
    ASSERT_TRUE(status && WIFEXITED(*status)) << "the child hangs or was killed";
    EXPECT_EQ(WEXITSTATUS(*status), 0);
    EXPECT_EQ(files_in(home.path() / "PLOTS"), (std::vector<std::string>{"P-0001.png", "P-0002.png"}));
    EXPECT_EQ(home.read("PLOTS/P-0001.png"), "an earlier picture");
    EXPECT_EQ(read_png(home.path() / "PLOTS/P-0002.png").width, 640);
  }
}
