#include "host/program/output/report.h"

#include <cstdio>

#include "host/program/output/transcript.h"
#include "host/program/pictures/pictures.h"
#include "host/program/pictures/svg.h"
#include "host/program/text/focus_words.h"

namespace host {

namespace {

std::string html(const std::string& raw) { return svg::text(raw); }

// Without a script every step shows, one after the other; the script marks the page "js" and
// then shows one step at a time.
const char* kStyle = R"css(
html { scroll-padding-top: 64px; }
body { margin: 0; font-family: sans-serif; background: #1b1b1b; color: #e8e8e8; }
header { padding: 12px 20px; background: #262626; }
h1 { font-size: 20px; margin: 0 0 8px 0; }
h2 { font-size: 16px; margin: 8px 0; scroll-margin-top: 64px; }
pre { white-space: pre-wrap; font-size: 13px; margin: 0; }
nav { padding: 10px 20px; background: #202020; position: sticky; top: 0; z-index: 1; min-height: 30px; }
nav button, nav select, #position { display: none; }
.js nav button { display: inline; font-size: 14px; padding: 4px 12px; margin-right: 8px; }
.js nav select { display: inline; font-size: 14px; max-width: 60em; }
.js #position { display: inline; margin: 0 12px; }
#nojs { color: #bbb; }
.js #nojs { display: none; }
#notice { color: #ffd27a; margin-left: 12px; }
main { padding: 10px 20px; }
.step { border-top: 1px solid #333; padding-top: 8px; }
.js .step { display: none; border-top: none; }
.js .step.current { display: block; }
.note { font-style: italic; color: #bbb; }
table.objects { border-collapse: collapse; margin: 8px 0; font-size: 13px; }
table.objects th, table.objects td { border: 1px solid #3a3a3a; padding: 3px 8px; text-align: left; }
table.objects td.sharp { color: #7ee08f; }
.pictures { display: flex; flex-wrap: wrap; gap: 16px; margin-top: 10px; align-items: flex-start; }
.pictures svg { max-width: 100%; height: auto; border: 1px solid #444; }
)css";

// Shows one step at a time: the one the address names ("#step-3"; a step beyond the last or
// before the first shows the nearest, and says so), or the first. The buttons, the list and
// the arrow keys move between them, and the address follows. The list is filled from the
// steps' headings; a picture stored once for several steps is shown again where it is the
// same. Steps are numbered as the program numbers them: 0 is the state before the first.
const char* kScript = R"js(
(function () {
  var body = document.body;
  window.addEventListener('error', function (e) { body.setAttribute('data-error', String(e.message)); });
  body.classList.add('js');
  var steps = document.querySelectorAll('section.step');
  var list = document.getElementById('step-list');
  var position = document.getElementById('position');
  var notice = document.getElementById('notice');
  var last = steps.length - 1;
  var current = 0;
  for (var k = 0; k < steps.length; ++k) {
    var option = document.createElement('option');
    option.value = String(k);
    option.textContent = steps[k].querySelector('h2').textContent;
    list.appendChild(option);
  }
  function fill(section) {
    var same = section.querySelectorAll('.same-picture');
    for (var k = 0; k < same.length; ++k) {
      var from = document.getElementById('step-' + same[k].getAttribute('data-same-as'));
      var picture = from && from.querySelector('.picture[data-view="' + same[k].getAttribute('data-view') + '"] svg');
      if (picture) same[k].parentNode.replaceChild(picture.cloneNode(true), same[k]);
    }
  }
  function show(i, said) {
    if (i < 0 || i > last) return;
    steps[current].classList.remove('current');
    current = i;
    fill(steps[current]);
    steps[current].classList.add('current');
    list.value = String(i);
    position.textContent = i === 0 ? 'before the first step (of ' + last + ')' : 'step ' + i + ' of ' + last;
    notice.textContent = said || '';
    body.setAttribute('data-current', String(i));
    if (window.location.hash !== '#step-' + i) history.replaceState(null, '', '#step-' + i);
    steps[current].querySelector('h2').scrollIntoView();
  }
  function go(hash) {
    var asked = /^#step-(-?\d+)$/.exec(hash);
    if (!asked) return show(0);
    var n = parseInt(asked[1], 10);
    var i = Math.max(0, Math.min(last, n));
    show(i, i === n ? '' : 'There is no step ' + n + ' (the steps run from 0 to ' + last + '): showing step ' + i + '.');
  }
  document.getElementById('prev').addEventListener('click', function () { show(current - 1); });
  document.getElementById('next').addEventListener('click', function () { show(current + 1); });
  list.addEventListener('change', function () { show(parseInt(list.value, 10)); });
  document.addEventListener('keydown', function (e) {
    if (e.key === 'ArrowLeft') show(current - 1);
    if (e.key === 'ArrowRight') show(current + 1);
  });
  window.addEventListener('hashchange', function () { go(window.location.hash); });
  go(window.location.hash);
  body.setAttribute('data-ready', 'yes');
})();
)js";

// The step's objects as the camera sees them, one row each.
std::string objects_table(const StepRecord& rec) {
    if (rec.objects.empty()) return "";
    std::string out = "<table class=\"objects\"><tr><th>object</th><th>distance</th><th>within the limits</th>"
                      "<th>blur on the film</th><th>blur in the camera view</th></tr>\n";
    for (const ObjectFocus& o : rec.objects) {
        const bool seen = o.zone != ObjectFocus::Zone::Unseen;
        const bool known = seen && o.zone != ObjectFocus::Zone::Unknown;
        auto range = [](const std::string& a, const std::string& b) { return a == b ? a : a + " to " + b; };
        char mm[2][32];
        std::snprintf(mm[0], sizeof mm[0], "%.3g mm", o.blur_min_mm);
        std::snprintf(mm[1], sizeof mm[1], "%.3g mm", o.blur_max_mm);
        out += "<tr data-object=\"" + html(o.name) + "\"><td>" + html(o.name) + "</td><td>" + (seen ? html(seen_range(o)) : "") +
               "</td><td" + (o.zone == ObjectFocus::Zone::Sharp ? " class=\"sharp\"" : "") + ">" + zone_name(o.zone) + "</td><td>" +
               (known ? range(mm[0], mm[1]) : "") + "</td><td>" +
               (known ? html(range(blur_px_text(o.blur_min_px), blur_px_text(o.blur_max_px))) : "") + "</td></tr>\n";
    }
    return out + "</table>\n";
}

const char* const kViews[2] = {"camera", "top"};

}  // namespace

Report::Report(const RunInfo& r, bool pictures) : run_(r), pictures_(pictures) {}

std::string Report::head() const {
    std::string summary = transcript_header(run_);
    if (!pictures_) summary += "pictures: none drawn (--no-pictures)\n";
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<title>orvik Taverin: " + html(run_.scene_name) + "</title>\n<style>" + kStyle + "</style>\n</head>\n"
           "<body data-ready=\"no\">\n<header>\n<h1>orvik Taverin in the stand-in host</h1>\n"
           "<pre id=\"summary\">" + html(summary) + "</pre>\n</header>\n"
           "<nav><button id=\"prev\" type=\"button\">&#9664; previous</button>"
           "<button id=\"next\" type=\"button\">next &#9654;</button><span id=\"position\"></span>"
           "<select id=\"step-list\" aria-label=\"step\"></select><span id=\"nojs\">every step, one after the other "
           "(with scripts on, one at a time)</span><span id=\"notice\"></span></nav>\n<main>\n";
}

std::string Report::step(const StepRecord& rec, const std::vector<std::string>& svgs,
                         const std::vector<std::string>& files) {
    const size_t i = sections_++;
    std::string out = "<section class=\"step\" id=\"step-" + std::to_string(i) + "\" data-step=\"" +
                      std::to_string(i) + "\">\n<h2>" + html(picture_title(rec)) + "</h2>\n<pre class=\"transcript\">" +
                      html(step_transcript(rec, {})) + "</pre>\n" + objects_table(rec) + "<div class=\"pictures\">\n";
    for (size_t v = 0; v < svgs.size() && v < 2; ++v) {
        const std::string view = kViews[v];
        std::string body = untitled_picture(svgs[v]);
        if (i > 0 && body == shown_[v].untitled) {
            const std::string at = std::to_string(shown_[v].section);
            out += "<p class=\"note same-picture\" data-view=\"" + view + "\" data-same-as=\"" + at + "\">The " + view +
                   " picture is the same as at <a href=\"#step-" + at + "\">step " + at + "</a>.</p>\n";
        } else if (picture_bytes_ + svgs[v].size() > kMaxReportPictureBytes) {
            out += "<p class=\"note picture-left-out\" data-view=\"" + view + "\">The " + view +
                   " picture is left out: the report holds at most " +
                   std::to_string(kMaxReportPictureBytes >> 20) + " MiB of pictures" +
                   (v < files.size() ? "; it is " + html(files[v]) : std::string()) + ".</p>\n";
        } else {
            picture_bytes_ += svgs[v].size();
            out += "<div class=\"picture\" data-view=\"" + view + "\">" + svgs[v] + "</div>\n";
            shown_[v] = {std::move(body), i};
        }
    }
    return out + "</div>\n</section>\n";
}

std::string Report::end() const { return "</main>\n<script>" + std::string(kScript) + "</script>\n</body>\n</html>\n"; }

}  // namespace host
