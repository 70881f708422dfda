#include "host/program/output/report.h"

#include "host/program/output/transcript.h"
#include "host/program/pictures/pictures.h"
#include "host/program/pictures/svg.h"

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
.note { font-style: italic; color: #bbb; }
.pictures { display: flex; flex-wrap: wrap; gap: 16px; margin-top: 10px; align-items: flex-start; }
.pictures svg { max-width: 100%; height: auto; border: 1px solid #444; }
)css";

// Shows one step at a time (the one the address names, as in "#step-3", or the first): the
// buttons, the list and the arrow keys move between them. The list is filled from the steps'
// headings; a picture stored once for several steps is shown again where it is the same.
const char* kScript = R"js(
(function () {
  var body = document.body;
  window.addEventListener('error', function (e) { body.setAttribute('data-error', String(e.message)); });
  var steps = document.querySelectorAll('section.step');
  var list = document.getElementById('step-list');
  var position = document.getElementById('position');
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
  function show(i) {
    if (i < 0 || i >= steps.length) return;
    steps[current].classList.remove('current');
    current = i;
    fill(steps[current]);
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
           "<select id=\"step-list\" aria-label=\"step\"></select></nav>\n<main>\n";
}

std::string Report::step(const StepRecord& rec, const std::vector<std::string>& svgs,
                         const std::vector<std::string>& files) {
    const size_t i = sections_++;
    std::string out = "<section class=\"step\" id=\"step-" + std::to_string(i) + "\" data-step=\"" +
                      std::to_string(i) + "\">\n<h2>" + html(picture_title(rec)) + "</h2>\n<pre class=\"transcript\">" +
                      html(step_transcript(rec, {})) + "</pre>\n<div class=\"pictures\">\n";
    for (size_t v = 0; v < svgs.size() && v < 2; ++v) {
        const std::string view = kViews[v];
        std::string body = untitled_picture(svgs[v]);
        if (i > 0 && body == shown_[v].untitled) {
            out += "<p class=\"note same-picture\" data-view=\"" + view + "\" data-same-as=\"" +
                   std::to_string(shown_[v].section) + "\">The " + view + " picture is the same as at step " +
                   std::to_string(shown_[v].section) + ".</p>\n";
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
