// Runs inside velkor.js before the program starts (emcc --pre-js). The slot
// files live in the browser's persistent storage (IndexedDB) mounted at
// /slots; it is read in before main() runs and written back whenever a slot
// file changed (the program says so through Module.velkorSlotsChanged, the
// page after an upload through Module.velkorStoreSlots).
Module.preRun = Module.preRun || [];
Module.preRun.push(function () {
  FS.mkdir("/slots");
  FS.mount(IDBFS, {}, "/slots");
  addRunDependency("velkor-slots");
  FS.syncfs(true, function (error) {
    if (error) console.warn("velkor: the stored slot files could not be read:", error);
    removeRunDependency("velkor-slots");
  });
});

// One write-back at a time; a request meanwhile runs once after it.
Module.velkorStoreSlots = (function () {
  var busy = false;
  var again = false;
  var waiting = [];
  function run() {
    busy = true;
    var callbacks = waiting;
    waiting = [];
    FS.syncfs(false, function (error) {
      if (error) console.warn("velkor: the slot files could not be stored:", error);
      callbacks.forEach(function (done) { done(error); });
      busy = false;
      if (again) {
        again = false;
        run();
      }
    });
  }
  return function (done) {
    if (done) waiting.push(done);
    if (busy) {
      again = true;
    } else {
      run();
    }
  };
})();
