// Numbers are 8-byte little-endian; strings are their length, then their bytes.
#include "platform/fetch/fetch_framing.h"

#include <cstdint>

namespace skyvigil {

namespace {

constexpr std::string_view kJobMagic = "skyvigil-fetch job 1\n";
constexpr std::string_view kAnswerMagic = "skyvigil-fetch answer 1\n";

void PutNumber(std::string& out, std::uint64_t value) {
  for (int i = 0; i < 8; ++i)
    out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

void PutString(std::string& out, std::string_view value) {
  PutNumber(out, value.size());
  out.append(value);
}

// Reads fields off the front of `bytes`; any read past the end fails the whole decoding.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  bool Magic(std::string_view magic) {
    if (bytes_.substr(0, magic.size()) != magic)
      return false;
    bytes_.remove_prefix(magic.size());
    return true;
  }

  std::optional<std::uint64_t> Number() {
    if (bytes_.size() < 8)
      return std::nullopt;
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i)
      value |= std::uint64_t{static_cast<unsigned char>(bytes_[i])} << (8 * i);
    bytes_.remove_prefix(8);
    return value;
  }

  std::optional<std::string> String() {
    const std::optional<std::uint64_t> size = Number();
    if (!size || *size > bytes_.size())
      return std::nullopt;
    std::string value(bytes_.substr(0, *size));
    bytes_.remove_prefix(*size);
    return value;
  }

  bool AtEnd() const { return bytes_.empty(); }

 private:
  std::string_view bytes_;
};

}  // namespace

std::string EncodeJob(const FetchJob& job) {
  std::string out(kJobMagic);
  const CurlHttpOptions& limits = job.limits;
  PutNumber(out, static_cast<std::uint64_t>(limits.connect_timeout_ms));
  PutNumber(out, static_cast<std::uint64_t>(limits.transfer_timeout_ms));
  PutNumber(out, limits.max_running);
  PutNumber(out, static_cast<std::uint64_t>(limits.max_redirects));
  PutNumber(out, limits.max_body_bytes);
  PutNumber(out, limits.max_download_bytes);
  PutNumber(out, job.download ? 1 : 0);
  if (job.download) {
    PutString(out, job.url);
    PutString(out, job.target);
    return out;
  }
  PutNumber(out, job.requests.size());
  for (const HttpRequest& request : job.requests) {
    PutNumber(out, request.method == HttpRequest::Method::post ? 1 : 0);
    PutString(out, request.url);
    PutString(out, request.body);
  }
  return out;
}

std::optional<FetchJob> DecodeJob(std::string_view bytes) {
  Reader reader(bytes);
  if (!reader.Magic(kJobMagic))
    return std::nullopt;
  std::optional<std::uint64_t> numbers[7];
  for (auto& number : numbers) {
    number = reader.Number();
    if (!number)
      return std::nullopt;
  }
  FetchJob job;
  job.limits.connect_timeout_ms = static_cast<long>(*numbers[0]);
  job.limits.transfer_timeout_ms = static_cast<long>(*numbers[1]);
  job.limits.max_running = *numbers[2];
  job.limits.max_redirects = static_cast<int>(*numbers[3]);
  job.limits.max_body_bytes = *numbers[4];
  job.limits.max_download_bytes = *numbers[5];
  if (*numbers[6] > 1)
    return std::nullopt;
  job.download = *numbers[6] == 1;
  if (job.download) {
    std::optional<std::string> url = reader.String();
    std::optional<std::string> target = url ? reader.String() : std::nullopt;
    if (!target || !reader.AtEnd())
      return std::nullopt;
    job.url = std::move(*url);
    job.target = std::move(*target);
    return job;
  }
  const std::optional<std::uint64_t> count = reader.Number();
  if (!count)
    return std::nullopt;
  for (std::uint64_t i = 0; i < *count; ++i) {
    const std::optional<std::uint64_t> method = reader.Number();
    if (!method || *method > 1)
      return std::nullopt;
    std::optional<std::string> url = reader.String();
    std::optional<std::string> body = url ? reader.String() : std::nullopt;
    if (!body)
      return std::nullopt;
    job.requests.push_back({*method == 1 ? HttpRequest::Method::post : HttpRequest::Method::get,
                            std::move(*url), std::move(*body)});
  }
  if (!reader.AtEnd())
    return std::nullopt;
  return job;
}

std::string EncodeAnswers(const std::vector<HttpResponse>& answers) {
  std::string out(kAnswerMagic);
  PutNumber(out, answers.size());
  for (const HttpResponse& answer : answers) {
    PutNumber(out, answer.completed ? 1 : 0);
    PutNumber(out, static_cast<std::uint64_t>(answer.status));
    PutString(out, answer.body);
  }
  return out;
}

std::optional<std::vector<HttpResponse>> DecodeAnswers(std::string_view bytes, std::size_t count) {
  Reader reader(bytes);
  if (!reader.Magic(kAnswerMagic) || reader.Number() != count)
    return std::nullopt;
  std::vector<HttpResponse> answers;
  for (std::size_t i = 0; i < count; ++i) {
    const std::optional<std::uint64_t> completed = reader.Number();
    const std::optional<std::uint64_t> status = completed ? reader.Number() : std::nullopt;
    std::optional<std::string> body = status ? reader.String() : std::nullopt;
    if (!body || *completed > 1)
      return std::nullopt;
    answers.push_back({*completed == 1, static_cast<long>(*status), std::move(*body)});
  }
  if (!reader.AtEnd())
    return std::nullopt;
  return answers;
}

std::string EncodeDownloaded(bool downloaded) {
  std::string out(kAnswerMagic);
  PutNumber(out, downloaded ? 1 : 0);
  return out;
}

std::optional<bool> DecodeDownloaded(std::string_view bytes) {
  Reader reader(bytes);
  if (!reader.Magic(kAnswerMagic))
    return std::nullopt;
  const std::optional<std::uint64_t> downloaded = reader.Number();
  if (!downloaded || *downloaded > 1 || !reader.AtEnd())
    return std::nullopt;
  return *downloaded == 1;
}

}  // namespace skyvigil
