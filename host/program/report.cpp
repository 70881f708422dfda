// The report page: one self-contained HTML file (no network, no other files) with the scene
// summary and every step's transcript and pictures, and a way to step through them.
#include <string>

#include "host/program/json.h"
#include "host/program/pictures.h"
#include "host/program/session_result.h"
#include "host/program/svg_parts.h"

namespace host {

namespace {

std::string html(const std::string& raw) { return svg::text(raw); }

const char* kStyle = R"css(
body { margin: 0; font-family: sans-serif; background: #1b1b1b; color: #e8e8e8; }
header { padding: 12px 20px; background: #262626; }
h1 { font-size: 20px; margin: 0 0 8px 0; }
h2 { font-size: 16px; margin: 8px 0; }
pre { white-space: pre-wrap; font-size: 13px; margin: 0; }
nav { padding: 10px 20px; background: #202020; position: sticky; top: 0; }
nav button { font-size: 14px; padding: 4px 12px; margin-right: 8px; }
nav select { font-size: 14px; max-width: 60em; }
#position { margin: 0 12px; }
main { padding: 10px 20px; }
.step { display: none; }
.step.current { display: block; }
.pictures { display: flex; flex-wrap: wrap; gap: 16px; margin-top: 10px; align-items: flex-start; }
.pictures svg { max-width: 100%; height: auto; border: 1px solid #444; }
)css";

// Shows one step at a time (the one the address names, as in "#step-3", or the first): the
// buttons, the list and the arrow keys move between them.
const char* kScript = R"js(
(function () {
  var body = document.body;
  window.addEventListener('error', function (e) { body.setAttribute('data-error', String(e.message)); });
  var steps = document.querySelectorAll('section.step');
  var list = document.getElementById('step-list');
  var position = document.getElementById('position');
  var current = 0;
  function show(i) {
    if (i < 0 || i >= steps.length) return;
    steps[current].classList.remove('current');
    current = i;
    steps[current].classList.add('current');
    list.value = String(i);
    position.textContent = (i + 1) + ' of ' + steps.length;
    body.setAttribute('data-current', String(i));
  }
  document.getElementById('prev').addEventListener('click', function () { show(current - 1); });
  document.getElementById('next').addEventListener('click', function () { show(current + 1); });
  list.addEventListener('change', function () { show(parseInt(list.value, 10)); });
  document.addEventListener('keydown', function (e) {
    if (e.key === 'ArrowLeft') show(current - 1);
    if (e.key === 'ArrowRight') show(current + 1);
  });
  var asked = /^#step-(\d+)$/.exec(window.location.hash);
  show(asked ? parseInt(asked[1], 10) : 0);
  body.setAttribute('data-ready', 'yes');
})();
)js";

}  // namespace

std::string report_page(const SessionResult& r, const std::vector<std::vector<std::string>>& svgs) {
    std::string out = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                      "<title>orvik Taverin: " + html(r.scene_name) + "</title>\n<style>" + kStyle + "</style>\n</head>\n"
                      "<body data-ready=\"no\">\n<header>\n<h1>orvik Taverin in the stand-in host</h1>\n"
                      "<pre id=\"summary\">" + html(transcript_header(r)) + "</pre>\n</header>\n"
                      "<nav><button id=\"prev\" type=\"button\">&#9664; previous</button>"
                      "<button id=\"next\" type=\"button\">next &#9654;</button><span id=\"position\"></span>"
                      "<select id=\"step-list\" aria-label=\"step\">\n";
    for (size_t i = 0; i < r.records.size(); ++i)
        out += "<option value=\"" + std::to_string(i) + "\">" + html(picture_title(r.records[i])) + "</option>\n";
    out += "</select></nav>\n<main>\n";
    for (size_t i = 0; i < r.records.size(); ++i) {
        const StepRecord& rec = r.records[i];
        out += "<section class=\"step\" id=\"step-" + std::to_string(i) + "\" data-step=\"" + std::to_string(i) + "\">\n";
        out += "<h2>" + html(picture_title(rec)) + "</h2>\n<pre class=\"transcript\">" +
               html(step_transcript(rec, {})) + "</pre>\n<div class=\"pictures\">\n";
        if (i < svgs.size())
            for (const std::string& svg : svgs[i]) out += svg;
        out += "</div>\n</section>\n";
    }
    out += "</main>\n<script>" + std::string(kScript) + "</script>\n</body>\n</html>\n";
    return out;
}

}  // namespace host
