#include "TrendDialog.h"

#include <QAction>
#include <QBuffer>
#include <QChart>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#ifdef TAVOLEX_HAVE_SVG
#include <QSvgGenerator>
#endif
#include <algorithm>
#include <cmath>
#include <limits>

#include "AtomicFile.h"
#include "ControlBuilder.h"
#include "DialogUnits.h"
#include "SavedRunLoader.h"
#include "ShownText.h"
#include "Translations.h"
#include "TrendChart.h"

namespace tavolex {

namespace {

constexpr int kPointSize = 9;
// A bucket's minimum and maximum for every two pixels of the plot: each pixel column gets a
// point, all the eye can see; more only costs the chart time (its cost grows with the points).
constexpr double kPixelsPerBucket = 2;
constexpr std::size_t kLeastBuckets = 100;
constexpr std::int64_t kMinuteMs = 60'000;
constexpr std::int64_t kHourMs = 60 * kMinuteMs;
// Room above and below the curves, in °C.
constexpr double kValueMarginCelsius = 0.5;
const QColor kAlarmColour(200, 0, 0);
constexpr int kRedrawBudgetFactor = 5;
// The narrowest span a zoom shows.
constexpr std::int64_t kLeastSpanMs = 2000;
constexpr int kZoomedTicks = 6;
// A saved run's window starts with this many of its channels ticked.
constexpr int kChannelsTickedAtOpening = 8;

QString FileNameOf(const std::filesystem::path& file) {
    return QString::fromStdU16String(file.filename().u16string());
}

std::int64_t SpanMs(TrendDialog::Span span) {
    switch (span) {
        case TrendDialog::Span::FiveMinutes:
            return 5 * kMinuteMs;
        case TrendDialog::Span::Hour:
            return kHourMs;
        case TrendDialog::Span::Day:
            return 24 * kHourMs;
        case TrendDialog::Span::All:
            break;
    }
    return 0;
}

// How far a colour stands out from white, as the ratio of relative luminances (1 to 21).
double ContrastOnWhite(const QColor& colour) {
    const auto linear = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const double luminance = 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
                             0.0722 * linear(colour.blueF());
    return 1.05 / (luminance + 0.05);
}

QColor ChannelColour(int channel) {
    // Neighbouring channels get hues far apart; light hues (yellow, green, cyan) are darkened
    // until a thin line of them still stands out on the white chart.
    constexpr double kLeastContrast = 3.5;
    QColor colour = QColor::fromHsv((channel * 67) % 360, 230, 190);
    while (ContrastOnWhite(colour) < kLeastContrast)
        colour = colour.darker(110);
    return colour;
}

struct TimeTicks {
    std::int64_t fromMs;
    std::int64_t toMs;
    int count;
};

// Ticks on round clock times: the smallest step of the list that divides the span into at
// most six, with the span widened to whole steps of local time.
TimeTicks RoundTimeTicks(std::int64_t fromMs, std::int64_t toMs, std::int64_t utcOffsetMs) {
    constexpr std::int64_t kSecondMs = 1000;
    constexpr std::int64_t kSteps[] = {
        kSecondMs,      2 * kSecondMs,  5 * kSecondMs, 10 * kSecondMs, 15 * kSecondMs,
        30 * kSecondMs, kMinuteMs,      2 * kMinuteMs, 5 * kMinuteMs,  10 * kMinuteMs,
        15 * kMinuteMs, 30 * kMinuteMs, kHourMs,       2 * kHourMs,    3 * kHourMs,
        6 * kHourMs,    12 * kHourMs,   24 * kHourMs,  48 * kHourMs,   7 * 24 * kHourMs};
    constexpr std::int64_t kMostSteps = 6;
    std::int64_t step = std::end(kSteps)[-1];
    for (std::int64_t candidate : kSteps) {
        if (toMs - fromMs <= candidate * kMostSteps) {
            step = candidate;
            break;
        }
    }
    const auto roundDown = [&](std::int64_t ms) {
        const std::int64_t local = ms + utcOffsetMs;
        const std::int64_t floored = local / step * step - (local % step < 0 ? step : 0);
        return floored - utcOffsetMs;
    };
    const std::int64_t from = roundDown(fromMs);
    std::int64_t to = roundDown(toMs);
    if (to < toMs || to == from) to += step;
    return {from, to, static_cast<int>((to - from) / step) + 1};
}

QString TimeFormat(std::int64_t stepMs, std::int64_t widthMs) {
    if (stepMs < kMinuteMs) return QStringLiteral("HH:mm:ss");
    return widthMs <= 24 * kHourMs ? QStringLiteral("HH:mm") : QStringLiteral("MM-dd HH:mm");
}

QString Celsius(std::optional<double> value) {
    return value ? QString::number(*value, 'f', 1) : QString();
}

// The points split at every gap, each stretch a list of its own.
std::vector<QList<QPointF>> Stretches(const std::vector<TrendPoint>& points, double& low,
                                      double& high) {
    std::vector<QList<QPointF>> stretches(1);
    for (const TrendPoint& point : points) {
        if (!point.tenths) {
            if (!stretches.back().isEmpty()) stretches.emplace_back();
            continue;
        }
        const double celsius = *point.tenths / 10.0;
        low = std::min(low, celsius);
        high = std::max(high, celsius);
        stretches.back().append(QPointF(static_cast<double>(point.timeMs), celsius));
    }
    if (stretches.size() > 1 && stretches.back().isEmpty()) stretches.pop_back();
    return stretches;
}

}  // namespace

struct TrendDialog::OwnedRun {
    SavedRun run;
    ChannelSettings settings;
    ChannelAlarms alarms;
};

TrendDialog::TrendDialog(const TrendSources& sources, Operator& person, QWidget* parent)
    : TrendDialog(sources, nullptr, person, parent) {}

TrendDialog::TrendDialog(const TrendSources& sources, std::unique_ptr<OwnedRun> run,
                         Operator& person, QWidget* parent)
    : QDialog(parent, Qt::Window), m_sources(sources), m_person(person), m_run(std::move(run)) {
    setWindowTitle(Tr("TrendDialog", "趋势图"));
    setModal(false);
    const DialogUnits units = DialogUnits::ForPointSize(kPointSize);
    resize(units.size(600, 340));

    buildChannelList();
    buildChart();
    buildActions();

    m_spanCombo = new QComboBox(this);
    m_spanCombo->addItems({Tr("TrendDialog", "最近5分钟"), Tr("TrendDialog", "最近1小时"),
                           Tr("TrendDialog", "最近24小时"), Tr("TrendDialog", "全部")});
    auto* spanLabel = new QLabel(Tr("TrendDialog", "时间范围(&R):"), this);
    spanLabel->setBuddy(m_spanCombo);
    m_spanCombo->setAccessibleName(Tr("TrendDialog", "时间范围"));
    connect(m_spanCombo, &QComboBox::currentIndexChanged, this,
            [this](int index) { setSpan(static_cast<Span>(index)); });
    auto* settingsButton = new QPushButton(Tr("TrendDialog", "通道设置(&L)..."), this);
    settingsButton->setMinimumWidth(ButtonWidthFor(*settingsButton));
    connect(settingsButton, &QPushButton::clicked, this, &TrendDialog::settingsRequested);
    if (m_run) {
        // A saved run has no readings to follow and takes its names from its file.
        m_span = Span::All;
        for (QWidget* control :
             std::initializer_list<QWidget*>{spanLabel, m_spanCombo, settingsButton})
            control->hide();
    }

    m_readout = new QLabel(this);
    SetValueCaption(m_readout, Tr("TrendDialog", "光标处的读数"));
    m_status = new QLabel(this);
    m_status->hide();
    auto* top = new QHBoxLayout;
    top->addWidget(spanLabel);
    top->addWidget(m_spanCombo);
    top->addStretch();
    top->addWidget(settingsButton);
    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addLayout(top);
    rightLayout->addWidget(m_view);
    rightLayout->addWidget(m_readout);
    auto* splitter = new QSplitter(this);
    splitter->addWidget(m_list);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addWidget(m_status);

    m_redrawTimer.setSingleShot(true);
    m_redrawTimer.setInterval(kRedrawIntervalMs);
    connect(&m_redrawTimer, &QTimer::timeout, this, &TrendDialog::redrawNow);
}

void TrendDialog::buildChart() {
    m_chart = new QChart;
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_timeAxis = new QDateTimeAxis(m_chart);
    m_timeAxis->setFormat(QStringLiteral("HH:mm:ss"));
    m_timeAxis->setTitleText(Tr("TrendDialog", "时间"));
    m_valueAxis = new QValueAxis(m_chart);
    m_valueAxis->setTitleText(QStringLiteral("°C"));
    m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
    m_chart->addAxis(m_valueAxis, Qt::AlignLeft);
    m_view = new TrendChart(m_chart, this);
    m_view->setRenderHint(QPainter::Antialiasing, false);
    m_view->setAccessibleName(Tr("TrendDialog", "趋势图"));
    connect(m_view, &TrendChart::spanChosen, this, [this](std::int64_t from, std::int64_t to) {
        zoomTo({from, to});
    });
    connect(m_view, &TrendChart::zoomAbout, this, &TrendDialog::zoomAbout);
    connect(m_view, &TrendChart::panned, this, &TrendDialog::panBy);
    connect(m_view, &TrendChart::pannedByShare, this, [this](double share) {
        const TimeSpan span = visibleSpan();
        panBy(static_cast<std::int64_t>(share * static_cast<double>(span.toMs - span.fromMs)));
    });
    connect(m_view, &TrendChart::wholeSpanAsked, this, &TrendDialog::showWholeSpan);
    connect(m_view, &TrendChart::hovered, this, &TrendDialog::readoutAt);
}

void TrendDialog::buildActions() {
    m_openAction = new QAction(Tr("TrendDialog", "打开数据文件(&O)..."), this);
    connect(m_openAction, &QAction::triggered, this, &TrendDialog::chooseDataFile);
    m_saveImageAction = new QAction(Tr("TrendDialog", "保存图片..."), this);
    connect(m_saveImageAction, &QAction::triggered, this, &TrendDialog::saveImageAs);
    auto* whole = new QAction(Tr("TrendDialog", "整个时间范围(&W)"), this);
    whole->setShortcut(QKeySequence(Qt::Key_Home));
    // Home on the chart only: the channel list keeps its own.
    whole->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(whole, &QAction::triggered, this, &TrendDialog::showWholeSpan);
    for (QAction* action : {m_openAction, m_saveImageAction, whole})
        m_view->addAction(action);
    m_view->setContextMenuPolicy(Qt::ActionsContextMenu);
}

TrendDialog* TrendDialog::ForRun(SavedRun run, const QString& title, Operator& person,
                                 QWidget* parent) {
    auto owned = std::make_unique<OwnedRun>();
    owned->run = std::move(run);
    for (int channel = 0; channel < kChannelCount; ++channel)
        owned->settings[channel].name = owned->run.names[channel];
    const TrendHistory& history = owned->run.history;
    const std::size_t leftOut = owned->run.leftOut;
    const TrendSources sources{history, owned->settings, owned->alarms};
    auto* dialog = new TrendDialog(sources, std::move(owned), person, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(title);
    const std::int64_t last = std::numeric_limits<std::int64_t>::max();
    int ticked = 0;
    for (int channel = 0; channel < kChannelCount && ticked < kChannelsTickedAtOpening; ++channel) {
        if (history.summary(channel, std::numeric_limits<std::int64_t>::min(), last).count == 0) {
            continue;
        }
        dialog->setChannelShown(channel, true);
        ++ticked;
    }
    QString status = Tr("TrendDialog", "%1 个读数").arg(history.size());
    if (leftOut > 0) {
        status += Tr("TrendDialog", "; %1 条记录的时间无效, 未画出").arg(leftOut);
    }
    dialog->setStatus(status);
    return dialog;
}

TrendDialog::~TrendDialog() = default;

void TrendDialog::buildChannelList() {
    m_list = new QTableWidget(kChannelCount, kColumnCount, this);
    m_list->setAccessibleName(Tr("TrendDialog", "通道"));
    m_list->setHorizontalHeaderLabels({Tr("TrendDialog", "通道"), Tr("TrendDialog", "最小"),
                                       Tr("TrendDialog", "最大"), Tr("TrendDialog", "平均"),
                                       Tr("TrendDialog", "次数"), Tr("TrendDialog", "报警")});
    m_list->verticalHeader()->hide();
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_filling = true;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        auto* caption = new QTableWidgetItem;
        caption->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        caption->setCheckState(Qt::Unchecked);
        caption->setForeground(ChannelColour(channel));
        m_list->setItem(channel, kChannelColumn, caption);
        for (int column = kMinColumn; column < kColumnCount; ++column) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_list->setItem(channel, column, item);
        }
    }
    m_filling = false;
    updateList(visibleSpan(), {});
    sizeListToColumns();
    connect(m_list, &QTableWidget::itemChanged, this, &TrendDialog::listItemChanged);
}

// Every column as wide as its heading and the widest value it shows, and the list as wide as
// its columns: no statistic hides behind a horizontal scroll bar.
void TrendDialog::sizeListToColumns() {
    m_list->resizeColumnToContents(kChannelColumn);
    const QFontMetrics metrics = m_list->fontMetrics();
    const int padding =
        2 * (m_list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_list) + 1);
    int width = m_list->columnWidth(kChannelColumn);
    for (int column = kMinColumn; column < kColumnCount; ++column) {
        const bool count = column == kCountColumn || column == kAlarmColumn;
        const int widest =
            metrics.horizontalAdvance(count ? QStringLiteral("888888") : QStringLiteral("-888.8"));
        m_list->setColumnWidth(
            column,
            std::max(widest + padding, m_list->horizontalHeader()->sectionSizeHint(column)));
        width += m_list->columnWidth(column);
    }
    width += 2 * m_list->frameWidth() +
             m_list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_list);
    m_list->setMinimumWidth(width);
}

void TrendDialog::listItemChanged(QTableWidgetItem* item) {
    if (m_filling || item->column() != kChannelColumn) return;
    setChannelShown(item->row(), item->checkState() == Qt::Checked);
}

void TrendDialog::setChannelShown(int channel, bool shown) {
    if (m_shown.at(channel) == shown) return;
    m_shown[channel] = shown;
    m_filling = true;
    m_list->item(channel, kChannelColumn)->setCheckState(shown ? Qt::Checked : Qt::Unchecked);
    m_filling = false;
    if (!shown) removeCurve(channel);
    scheduleRedraw();
}

bool TrendDialog::channelShown(int channel) const {
    return m_shown.at(channel);
}

bool TrendDialog::anyChannelShown() const {
    return std::find(m_shown.begin(), m_shown.end(), true) != m_shown.end();
}

void TrendDialog::setSpan(Span span) {
    m_span = span;
    if (m_spanCombo->currentIndex() != static_cast<int>(span)) {
        m_spanCombo->setCurrentIndex(static_cast<int>(span));
    }
    scheduleRedraw();
}

void TrendDialog::scheduleRedraw() {
    if (!isVisible() || m_redrawTimer.isActive()) return;
    m_redrawTimer.start();
}

void TrendDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    redrawNow();
}

void TrendDialog::updateList(
    TimeSpan span, const std::array<std::optional<ChannelSummary>, kChannelCount>& known) {
    m_filling = true;
    const auto set = [this](int row, int column, const QString& text) {
        QTableWidgetItem* item = m_list->item(row, column);
        if (item->text() != text) item->setText(text);
    };
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const ChannelSummary summary =
            known[channel] ? *known[channel]
                           : m_sources.history.summary(channel, span.fromMs, span.toMs);
        const bool any = summary.count > 0;
        set(channel, kChannelColumn, ShownChannelLabel(m_sources.settings, channel));
        set(channel, kMinColumn, any ? Celsius(summary.minTenths / 10.0) : QString());
        set(channel, kMaxColumn, any ? Celsius(summary.maxTenths / 10.0) : QString());
        set(channel, kMeanColumn, Celsius(summary.meanCelsius()));
        set(channel, kCountColumn, any ? QString::number(summary.count) : QString());
        const int alarms = m_sources.alarms.count(channel);
        set(channel, kAlarmColumn, alarms > 0 ? QString::number(alarms) : QString());
        const QVariant background =
            m_sources.alarms.inAlarm(channel) ? QVariant(QColor(255, 200, 200)) : QVariant();
        for (int column = 0; column < kColumnCount; ++column) {
            QTableWidgetItem* item = m_list->item(channel, column);
            if (item->data(Qt::BackgroundRole) != background) {
                item->setData(Qt::BackgroundRole, background);
            }
        }
    }
    m_filling = false;
}

TimeSpan TrendDialog::wholeSpan() const {
    const TrendHistory& history = m_sources.history;
    const std::int64_t now = history.lastTime().value_or(QDateTime::currentMSecsSinceEpoch());
    const std::int64_t first = history.firstTime().value_or(now);
    // The axis starts at the first reading when the history is shorter than the span.
    if (m_span == Span::All) return {first, now};
    return {std::max(first, now - SpanMs(m_span)), now};
}

TimeSpan TrendDialog::visibleSpan() const {
    return m_zoom.value_or(wholeSpan());
}

void TrendDialog::zoomTo(TimeSpan span) {
    const TimeSpan whole = wholeSpan();
    const std::int64_t width = std::max(span.toMs - span.fromMs, kLeastSpanMs);
    if (width >= whole.toMs - whole.fromMs) {
        showWholeSpan();
        return;
    }
    const std::int64_t from = std::clamp(span.fromMs, whole.fromMs, whole.toMs - width);
    m_zoom = TimeSpan{from, from + width};
    redrawNow();
}

void TrendDialog::zoomAbout(std::int64_t centreMs, double factor) {
    const TimeSpan span = visibleSpan();
    const auto scaled = [&](std::int64_t ms) {
        return centreMs + std::llround(static_cast<double>(ms - centreMs) * factor);
    };
    zoomTo({scaled(span.fromMs), scaled(span.toMs)});
}

void TrendDialog::panBy(std::int64_t byMs) {
    if (!m_zoom) return;
    zoomTo({m_zoom->fromMs + byMs, m_zoom->toMs + byMs});
}

void TrendDialog::showWholeSpan() {
    m_zoom.reset();
    redrawNow();
}

QString TrendDialog::readoutAt(std::int64_t timeMs, double celsius) {
    const TrendHistory& history = m_sources.history;
    const TimeSpan span = visibleSpan();
    const std::optional<std::size_t> nearest = history.nearest(timeMs);
    std::optional<int> best;
    int bestTenths = 0;
    if (nearest && timeMs >= span.fromMs && timeMs <= span.toMs) {
        for (int channel = 0; channel < kChannelCount; ++channel) {
            const std::optional<int> tenths =
                m_shown[channel] ? history.valueAt(channel, *nearest) : std::nullopt;
            if (tenths && (!best || std::abs(*tenths / 10.0 - celsius) <
                                        std::abs(bestTenths / 10.0 - celsius))) {
                best = channel;
                bestTenths = *tenths;
            }
        }
    }
    QString text;
    if (best) {
        const QDateTime time = QDateTime::fromMSecsSinceEpoch(history.timeAt(*nearest));
        text = Tr("TrendDialog", "%1  %2: %3 °C")
                   .arg(time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                        ShownChannelLabel(m_sources.settings, *best), Celsius(bestTenths / 10.0));
    }
    ShowValue(m_readout, text);
    return text;
}

std::size_t TrendDialog::displayBuckets() const {
    const auto fitting = static_cast<std::size_t>(m_chart->plotArea().width() / kPixelsPerBucket);
    return std::max(fitting, kLeastBuckets);
}

void TrendDialog::redrawNow() {
    m_redrawTimer.stop();
    QElapsedTimer took;
    took.start();
    const TimeSpan span = visibleSpan();
    std::array<std::optional<ChannelSummary>, kChannelCount> summaries;
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    std::vector<std::pair<int, std::vector<QList<QPointF>>>> curves;
    const std::size_t buckets = displayBuckets();
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (!m_shown[channel]) continue;
        ChannelSummary& summary = summaries[channel].emplace();
        curves.emplace_back(
            channel,
            Stretches(m_sources.history.points(channel, span.fromMs, span.toMs, buckets, &summary),
                      low, high));
    }
    updateList(span, summaries);
    // The chart lays every curve out again whenever an axis changes, at a cost that grows with
    // the curve's points: the old curves go before the axes change, the new come after.
    for (const std::vector<QLineSeries*>& pieces : m_curves) {
        for (QLineSeries* piece : pieces)
            piece->clear();
    }
    if (m_zoom) {
        showExactTimeAxis(span);
    } else {
        showTimeAxis(span.fromMs, span.toMs);
    }
    if (low > high) {
        low = 0;
        high = 1;
    }
    m_valueAxis->setRange(low - kValueMarginCelsius, high + kValueMarginCelsius);
    m_valueAxis->applyNiceNumbers();
    for (const auto& [channel, stretches] : curves)
        plotChannel(channel, stretches);
    // A heavy chart (many channels over a long span) waits longer for its next redraw, so
    // that drawing never takes more than a fifth of the window thread's time.
    m_redrawTimer.setInterval(
        std::max<int>(kRedrawIntervalMs, static_cast<int>(kRedrawBudgetFactor * took.elapsed())));
}

void TrendDialog::showTimeAxis(std::int64_t fromMs, std::int64_t toMs) {
    const std::int64_t offsetMs =
        std::int64_t{QDateTime::fromMSecsSinceEpoch(toMs).offsetFromUtc()} * 1000;
    const TimeTicks ticks = RoundTimeTicks(fromMs, toMs, offsetMs);
    const std::int64_t stepMs = (ticks.toMs - ticks.fromMs) / (ticks.count - 1);
    m_timeAxis->setFormat(TimeFormat(stepMs, ticks.toMs - ticks.fromMs));
    m_timeAxis->setTickCount(ticks.count);
    m_timeAxis->setRange(QDateTime::fromMSecsSinceEpoch(ticks.fromMs),
                         QDateTime::fromMSecsSinceEpoch(ticks.toMs));
}

// A zoomed span is shown exactly as chosen: its ends are what the statistics cover.
void TrendDialog::showExactTimeAxis(TimeSpan span) {
    const std::int64_t width = span.toMs - span.fromMs;
    m_timeAxis->setFormat(TimeFormat(width / (kZoomedTicks - 1), width));
    m_timeAxis->setTickCount(kZoomedTicks);
    m_timeAxis->setRange(QDateTime::fromMSecsSinceEpoch(span.fromMs),
                         QDateTime::fromMSecsSinceEpoch(span.toMs));
}

void TrendDialog::plotChannel(int channel, const std::vector<QList<QPointF>>& stretches) {
    std::vector<QLineSeries*>& pieces = m_curves[channel];
    while (pieces.size() < stretches.size())
        pieces.push_back(addPiece(channel));
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        QLineSeries* piece = pieces[i];
        if (i < stretches.size()) {
            piece->replace(stretches[i]);
            // A reading between two failures has no line to draw: show it as a dot.
            piece->setPointsVisible(stretches[i].size() == 1);
        } else {
            piece->clear();
        }
    }
    QLineSeries* first = pieces.front();
    first->setName(ShownChannelLabel(m_sources.settings, channel));
    for (QLegendMarker* marker : m_chart->legend()->markers(first)) {
        const bool alarm = m_sources.alarms.inAlarm(channel);
        marker->setLabelBrush(alarm ? QBrush(kAlarmColour) : m_chart->legend()->labelBrush());
        marker->setBrush(alarm ? QBrush(kAlarmColour) : QBrush(ChannelColour(channel)));
    }
}

QLineSeries* TrendDialog::addPiece(int channel) {
    auto* piece = new QLineSeries;
    QPen pen(ChannelColour(channel));
    pen.setWidth(1);
    piece->setPen(pen);
    m_chart->addSeries(piece);
    piece->attachAxis(m_timeAxis);
    piece->attachAxis(m_valueAxis);
    if (!m_curves[channel].empty()) {
        for (QLegendMarker* marker : m_chart->legend()->markers(piece))
            marker->setVisible(false);
    }
    return piece;
}

void TrendDialog::removeCurve(int channel) {
    for (QLineSeries* piece : m_curves.at(channel)) {
        m_chart->removeSeries(piece);
        delete piece;
    }
    m_curves[channel].clear();
}

}  // namespace tavolex

namespace tavolex {

void TrendDialog::setStatus(const QString& text) {
    ShowValue(m_status, text);
    m_status->setVisible(!text.isEmpty());
}

QString TrendDialog::status() const {
    return m_status->text();
}

bool TrendDialog::saveImage(const std::filesystem::path& file) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QString suffix = QString::fromStdU16String(file.extension().u16string()).toLower();
    if (suffix == QStringLiteral(".svg")) {
#ifdef TAVOLEX_HAVE_SVG
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(m_view->size());
        svg.setViewBox(m_view->rect());
        svg.setTitle(windowTitle());
        QPainter painter(&svg);
        m_view->render(&painter);
        if (!painter.end()) return false;
#else
        return false;
#endif
    } else if (!m_view->grab().save(&buffer, "PNG")) {
        return false;
    }
    return WriteFileAtomically(
        file, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void TrendDialog::saveImageAs() {
#ifdef TAVOLEX_HAVE_SVG
    const std::string filter = "PNG (*.png);;SVG (*.svg)";
#else
    const std::string filter = "PNG (*.png)";
#endif
    const std::filesystem::path start = folder ? folder() : std::filesystem::path();
    const std::optional<std::filesystem::path> file = m_person.chooseSaveFile(
        {filter, start / Tr("TrendDialog", "趋势图.png").toStdU16String(), "png"});
    if (!file) return;
    if (!saveImage(*file)) {
        m_person.message(Tr("TrendDialog", "保存图片失败!").toStdString());
    }
}

void TrendDialog::chooseDataFile() {
    const std::filesystem::path start = folder ? folder() : std::filesystem::path();
    const std::optional<std::filesystem::path> file =
        m_person.chooseFile({Tr("TrendDialog", "数据文件 (*.txt *.csv)").toStdString(), start, ""});
    if (file) openDataFile(*file);
}

TrendDialog* TrendDialog::openDataFile(const std::filesystem::path& file) {
    std::optional<SavedRun> run = LoadSavedRun(file, this);
    if (!run) return nullptr;
    const QString name = FileNameOf(file);
    const QString message = SavedRunFaultMessage(*run, name);
    TrendDialog* shown = nullptr;
    if (run->history.size() > 0) {
        // Beside this window, not inside it: it stays when this one closes.
        QWidget* owner = parentWidget() != nullptr ? parentWidget() : this;
        shown = ForRun(std::move(*run), name, m_person, owner);
        shown->folder = folder;
        shown->show();
    }
    if (!message.isEmpty()) m_person.message(message.toStdString());
    return shown;
}

}  // namespace tavolex
