#include "compare.h"

// Each timeline counts merged ticks from its run's common base zero. The
// two are put on one axis of that time (of ticks, where neither tick has a
// known length): both span the two runs, and each follows the other's view.
const char COMPARE_SCRIPT[] = R"JS(
(function () {
  "use strict";
  var joints = document.querySelectorAll("div.joint");
  if (joints.length !== 2) return;
  var lines = Array.prototype.map.call(joints, function (joint) {
    return { svg: joint.querySelector("svg.timeline"), unit: +joint.dataset.unit };
  });
  var first = Math.min.apply(null, lines.map(function (l) { return +l.svg.dataset.first * l.unit; }));
  var last = Math.max.apply(null, lines.map(function (l) { return +l.svg.dataset.last * l.unit; }));
  lines.forEach(function (l) {
    l.svg.dataset.first = first / l.unit;
    l.svg.dataset.last = last / l.unit;
  });
  // The follower's own change of view comes back to the leader, which
  // stops there: the two are alike.
  function follow(leader, follower) {
    new MutationObserver(function () {
      var view = leader.svg.dataset.view.split(" ").map(function (t) { return t * leader.unit / follower.unit; });
      var shown = follower.svg.dataset.view.split(" ").map(Number), near = 1e-9 * (view[1] - view[0]);
      if (Math.abs(view[0] - shown[0]) > near || Math.abs(view[1] - shown[1]) > near) follower.svg.show(view[0], view[1]);
    }).observe(leader.svg, { attributes: true, attributeFilter: ["data-view"] });
  }
  document.addEventListener("DOMContentLoaded", function () {
    follow(lines[0], lines[1]);
    follow(lines[1], lines[0]);
  });
})();
)JS";
