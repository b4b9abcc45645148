// Each step of the update check runs on the main thread and starts the next
// as a fetch of the update's asker.
#include "app/update_chain.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/download_window.h"
#include "state/fetch.h"
#include "views/dialogs.h"

namespace skyvigil {

namespace {

// A message box would stand unowned behind other windows while the main
// window is hidden: its text is said instead, at once.
void Tell(App& app, const std::string& title, const std::string& text) {
  if (WindowHidden(app.state)) {
    app.announcer.SpeakInBackground(text);
    return;
  }
  ShowMessage(app, title, text);
}

void OnUpdateChecked(App& app, const std::string& refused) {
  app.state.update_under_way = false;
  if (!refused.empty()) {
    Tell(app, "Download error", RefusedUpdateText(refused));
    return;
  }
  app.process.StartUpdater(app.state.paths.updater_program);
  RequestExit(app);
}

void OnUpdateDownloaded(App& app, const std::shared_ptr<UpdateDownload>& download,
                        const UpdateSource& source, const DownloadResult& archive, bool cancelled) {
  ForgetUpdateDownload(app, download);
  if (cancelled) {  // the user was told when they cancelled
    app.state.update_under_way = false;
    return;
  }
  if (!archive.saved) {
    app.state.update_under_way = false;
    Tell(app, "Download error", DownloadErrorText(archive));
    return;
  }
  // Hashing the archive takes a while: off the main thread too.
  StartFetch(app, Asker::update, [source](HttpClient&) -> CoreWork {
    return [refused = CheckDownloadedUpdate(source.archive_file, source.trust)](App& a) {
      OnUpdateChecked(a, refused);
    };
  });
}

void StartUpdateDownload(App& app, const UpdateSource& source) {
  if (std::exchange(app.state.update_under_way, true))
    return;
  auto download = std::make_shared<UpdateDownload>();
  WatchUpdateDownload(app, download);
  StartFetch(app, Asker::update, [core = app.core, download, source](HttpClient& http) -> CoreWork {
    const PostWork post = [core](CoreWork work) { core->PostToCore(std::move(work)); };
    const DownloadResult archive = DownloadUpdate(
        http, source,
        [&](uint64_t received, uint64_t total) {
          return ReportDownloadProgress(download, received, total, post);
        },
        [&](uint64_t, uint64_t) { return !DownloadCancelled(*download); });
    const bool cancelled = EndDownload(*download);
    if (cancelled)  // what did arrive goes, and nothing else changes
      DeleteDownloadedUpdate(source);
    return [download, source, archive, cancelled](App& a) {
      OnUpdateDownloaded(a, download, source, archive, cancelled);
    };
  });
}

void Ask(App& app, const UpdateSource& source, const UpdateReply& reply) {
  auto ask = [source, question = reply.text](App& a) {
    if (AskYesNo(a, "Alert", question))
      StartUpdateDownload(a, source);
  };
  if (!WindowHidden(app.state)) {
    ask(app);
    return;
  }
  app.announcer.SpeakInBackground(NewVersionText(reply.version));
  app.state.when_window_shown.push_back(std::move(ask));
}

void Reply(App& app, const UpdateSource& source, const UpdateReply& reply) {
  switch (reply.kind) {
    case UpdateReply::Kind::nothing:
      return;
    case UpdateReply::Kind::message:
      Tell(app, "Alert", reply.text);
      return;
    case UpdateReply::Kind::question:
      Ask(app, source, reply);
      return;
  }
}

}  // namespace

void StartUpdateCheck(App& app, const UpdateSource& source, bool automatic) {
  if (app.state.update_under_way)
    return;
  if (source.update_address.empty()) {
    Reply(app, source, ReplyWithoutServer(automatic));
    return;
  }
  FetchAnswers(app, Asker::update, {VersionRequest(source)},
               [source, automatic](App& a, const std::vector<HttpResponse>& answers) {
                 Reply(a, source, ReplyToVersion(source, answers.front(), automatic));
               });
}

}  // namespace skyvigil
