#include "windowCache.h"

#include "windowFunction.h"

#include <algorithm>
#include <mutex>

namespace {

std::size_t bytesOf(const CachedWindow &window)
{
    return window.values.size() * sizeof(double);
}

std::size_t bytesOf(const std::vector<double> &values)
{
    return values.size() * sizeof(double);
}

// A few entries of each kind, most recently used first: the display and
// the measurement each want one length, a change of padding a few more.
// Long blocks at a large padding make entries of tens of MB, so the
// entries also keep within a memory budget; the newest always stays.
template <typename Key, typename Value>
class RecentCache
{
public:
    template <typename Make>
    std::shared_ptr<const Value> get(const Key &key, Make make)
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto found = std::find_if(entries.begin(), entries.end(), [&](const Entry &e) { return e.first == key; });
        if (found != entries.end()) {
            std::rotate(entries.begin(), found, found + 1);
            return entries.front().second;
        }
        std::shared_ptr<const Value> value = make();
        entries.insert(entries.begin(), Entry(key, value));
        while (entries.size() > 1 && (entries.size() > capacity || bytes() > budget))
            entries.pop_back();
        return value;
    }

    std::size_t size()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return entries.size();
    }

    void clear()
    {
        std::lock_guard<std::mutex> lock(mutex);
        entries.clear();
    }

private:
    using Entry = std::pair<Key, std::shared_ptr<const Value>>;
    static constexpr std::size_t capacity = 6;
    static constexpr std::size_t budget = std::size_t(64) << 20;

    std::size_t bytes() const
    {
        std::size_t total = 0;
        for (const Entry &entry : entries)
            total += bytesOf(*entry.second);
        return total;
    }

    std::mutex mutex;
    std::vector<Entry> entries;
};

RecentCache<std::pair<int, int>, CachedWindow> &windows()
{
    static RecentCache<std::pair<int, int>, CachedWindow> cache;
    return cache;
}

RecentCache<std::pair<int, double>, std::vector<double>> &frequencyAxes()
{
    static RecentCache<std::pair<int, double>, std::vector<double>> cache;
    return cache;
}

} // namespace

std::shared_ptr<const CachedWindow> cachedWindow(int type, int count)
{
    return windows().get(std::make_pair(type, count), [&] {
        auto window = std::make_shared<CachedWindow>();
        if (count < 1)
            return std::shared_ptr<const CachedWindow>(window);
        window->values.resize(static_cast<size_t>(count));
        windowFunction(type, count, window->values.data());
        double squares = 0.0;
        for (double w : window->values) {
            window->sum += w;
            squares += w * w;
        }
        if (window->sum != 0.0)
            window->noiseBandwidthBins = count * squares / (window->sum * window->sum);
        return std::shared_ptr<const CachedWindow>(window);
    });
}

std::shared_ptr<const std::vector<double>> cachedBinFrequencies(int bins, double df)
{
    return frequencyAxes().get(std::make_pair(bins, df), [&] {
        auto axis = std::make_shared<std::vector<double>>(static_cast<size_t>(std::max(bins, 0)), 0.0);
        for (size_t k = 1; k < axis->size(); ++k)
            (*axis)[k] = (*axis)[k - 1] + df;
        return std::shared_ptr<const std::vector<double>>(axis);
    });
}

std::size_t spectrumCacheSize()
{
    return windows().size() + frequencyAxes().size();
}

void spectrumCacheClear()
{
    windows().clear();
    frequencyAxes().clear();
}
