<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>BatchRun</name>
    <message>
        <source>Stopped by %1: ending %2 running programs</source>
        <translation>%1 により中断: 実行中の %2 個のプログラムを終了します</translation>
    </message>
    <message>
        <source>-share %1 is not a share K/N with K from 1 to N</source>
        <translation>-share %1 は K/N (K は 1 から N まで) の形の分担ではありません</translation>
    </message>
    <message>
        <source>No job was run: the configuration or the options above cannot be used</source>
        <translation>ジョブは実行されませんでした: 上記の設定またはオプションは使えません</translation>
    </message>
</context>
<context>
    <name>BatchRanking</name>
    <message>
        <source>-data needs the name of a measured chi(k) file</source>
        <translation>-data には測定 chi(k) ファイルの名前が必要です</translation>
    </message>
    <message>
        <source>-rank needs the name of the file to write the ranking into</source>
        <translation>-rank には順位表を書き込むファイルの名前が必要です</translation>
    </message>
    <message>
        <source>-rank %1 needs a measured curve to rank against: give -data FILE</source>
        <translation>-rank %1 には比較する測定曲線が必要です: -data FILE を指定してください</translation>
    </message>
    <message>
        <source>Can not write the ranking into %1: it is a folder</source>
        <translation>順位表を %1 に書き込めません: フォルダです</translation>
    </message>
    <message>
        <source>Can not write the ranking into %1: %2</source>
        <translation>順位表を %1 に書き込めません: %2</translation>
    </message>
</context>
<context>
    <name>Body</name>
    <message>
        <source>PROC_TIMEOUT %1 is not a number of seconds from 0 to %2: no time limit</source>
        <translation>PROC_TIMEOUT %1 は 0 から %2 までの秒数ではありません: 制限時間なしで実行します</translation>
    </message>
    <message>
        <source>Can not read the configuration file : %1</source>
        <translation>設定ファイル %1 が読めません</translation>
    </message>
    <message>
        <source>MAX_PROC %1 lets no job start</source>
        <translation>MAX_PROC が %1 のため、ジョブを開始できません</translation>
    </message>
    <message>
        <source>Can not find the FEFF program : %1</source>
        <translation>FEFF のプログラム %1 が見つかりません</translation>
    </message>
    <message>
        <source>Not a file of this computer, not taken: %1</source>
        <translation>このコンピュータのファイルではないため取り込みません: %1</translation>
    </message>
    <message>
        <source>%1 is a folder, not taken: drop the files in it.</source>
        <translation>%1 はフォルダのため取り込みません。中のファイルをドロップして下さい。</translation>
    </message>
    <message>
        <source>SITES %1 is neither first nor all: first taken</source>
        <translation>SITES %1 は first でも all でもないため、first とします</translation>
    </message>
    <message>
        <source>MAX_PROC %1 is not a whole number: %2 is used</source>
        <translation>MAX_PROC %1 は整数ではありません: %2 を使います</translation>
    </message>
    <message>
        <source>%1 %2 is neither 0 nor 1: 1 is used</source>
        <translation>%1 %2 は 0 でも 1 でもありません: 1 を使います</translation>
    </message>
    <message>
        <source>%1 not taken: %2</source>
        <translation>%1 は受け付けません: %2</translation>
    </message>
</context>
<context>
    <name>Chi</name>
    <message>
        <source>::Can not read chi(k) file : %1</source>
        <translation>chi(k) ファイル %1 が開けません。</translation>
    </message>
    <message>
        <source>::Can not transform %1 : %2 = %3 is not usable</source>
        <translation>%1 を変換できません: %2 = %3 は使えない値です。</translation>
    </message>
    <message>
        <source>::Can not transform %1 : the R grid from %2 to %3 by %4 would have more than %5 points</source>
        <translation>%1 を変換できません: %2 から %3 まで %4 刻みの R グリッドは %5 点を超えます。</translation>
    </message>
    <message>
        <source>::Left out %1 points of %2 whose k or chi is not a finite number</source>
        <translation>%2 の k または chi が有限の数でない %1 点を除きました。</translation>
    </message>
    <message>
        <source>::Can not read chi(k) file : %1 : %2</source>
        <translation>::chi(k) ファイル %1 を読めません : %2</translation>
    </message>
    <message>
        <source>there is no chi(R) to write</source>
        <translation>書き込む chi(R) がありません</translation>
    </message>
</context>
<context>
    <name>ChiView</name>
    <message>
        <source>Name the shown jobs and paths in a corner of the plot</source>
        <translation>表示中のジョブとパスをプロットの隅に示します</translation>
    </message>
    <message>
        <source>Legend</source>
        <translation>凡例</translation>
    </message>
    <message>
        <source>Save the plot as PNG or SVG, or its curves as tab-separated data (Ctrl+S)</source>
        <translation>プロットを PNG か SVG で、曲線をタブ区切りデータで保存します (Ctrl+S)</translation>
    </message>
    <message>
        <source>Save...</source>
        <translation>保存...</translation>
    </message>
    <message>
        <source>Chi View</source>
        <translation>Chi View</translation>
    </message>
    <message>
        <source>chi</source>
        <translation>χ</translation>
    </message>
    <message>
        <source>k</source>
        <translation>k</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
    <message>
        <source>3</source>
        <translation>3</translation>
    </message>
    <message>
        <source>k-weight</source>
        <translation>k-weight</translation>
    </message>
    <message>
        <source>Abs.</source>
        <translation>絶対値</translation>
    </message>
    <message>
        <source>Imag.</source>
        <translation>虚部</translation>
    </message>
    <message>
        <source>Real</source>
        <translation>実部</translation>
    </message>
    <message>
        <source>Reset Scale</source>
        <translation>スケールリセット</translation>
    </message>
    <message>
        <source>Paths</source>
        <translation>パス</translation>
    </message>
    <message>
        <source>Clr.</source>
        <translation>選択クリア</translation>
    </message>
    <message>
        <source>Draw the path fit of each shown job, dashed in the job&apos;s colour</source>
        <translation>表示中の各ジョブのパスフィットをジョブの色の破線で描きます</translation>
    </message>
    <message>
        <source>Fit</source>
        <translation>フィット</translation>
    </message>
</context>
<context>
    <name>ChiViewCtrl</name>
    <message>
        <source>k</source>
        <translation>k</translation>
    </message>
    <message>
        <source>R</source>
        <translation>R</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>%1 を保存しました</translation>
    </message>
    <message>
        <source>Can not save %1: %2</source>
        <translation>%1 を保存できません: %2</translation>
    </message>
    <message>
        <source>chi k View</source>
        <translation>χ(k) 表示</translation>
    </message>
    <message>
        <source>chi R View</source>
        <translation>χ(R) 表示</translation>
    </message>
</context>
<context>
    <name>Demeter</name>
    <message>
        <source>demeter</source>
        <translation>Demeter</translation>
    </message>
    <message>
        <source>Del.</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Updt F.inp</source>
        <translation>F.inp更新</translation>
    </message>
    <message>
        <source>F. Restart</source>
        <translation>F.再起動</translation>
    </message>
    <message>
        <source>Res. A.</source>
        <translation>A.出力</translation>
    </message>
    <message>
        <source>Res. F.</source>
        <translation>F.出力</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>表示</translation>
    </message>
    <message>
        <source>Show2</source>
        <translation>詳細</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>色</translation>
    </message>
    <message>
        <source>A. Starting</source>
        <translation>A.起動中</translation>
    </message>
    <message>
        <source>A. Running</source>
        <translation>A.実行中</translation>
    </message>
    <message>
        <source>A. Finished</source>
        <translation>A.完了</translation>
    </message>
    <message>
        <source>A. Not Running</source>
        <translation>A.未実行</translation>
    </message>
    <message>
        <source>F. Starting</source>
        <translation>F.起動中</translation>
    </message>
    <message>
        <source>F. Running</source>
        <translation>F.実行中</translation>
    </message>
    <message>
        <source>F. Finished</source>
        <translation>F.完了</translation>
    </message>
    <message>
        <source>F. Not Running</source>
        <translation>F.未実行</translation>
    </message>
    <message>
        <source>Can not open feff input file : %1 to read.</source>
        <translation>FeFF の入力ファイル %1 が開けません。</translation>
    </message>
    <message>
        <source>The input file %1 no longer exists; the job is not started.</source>
        <translation>入力ファイル %1 が見つからないため、ジョブを開始しません。</translation>
    </message>
    <message>
        <source>%1 reached the time limit of %2 s and was stopped: %3</source>
        <translation>%1 が制限時間 %2 秒に達したため停止しました: %3</translation>
    </message>
    <message>
        <source>%1: Atoms ended with %2</source>
        <translation>%1: Atoms が %2 で終了しました</translation>
    </message>
    <message>
        <source>%1: FEFF ended with %2</source>
        <translation>%1: FEFF が %2 で終了しました</translation>
    </message>
    <message>
        <source>Can not write %1: %2</source>
        <translation>%1 を書き込めません: %2</translation>
    </message>
    <message>
        <source>::Can not use chi(k) file %1 : %2</source>
        <translation>::chi(k) ファイル %1 は使えません : %2</translation>
    </message>
    <message>
        <source>A. Failed</source>
        <translation>A.失敗</translation>
    </message>
    <message>
        <source>F. Failed</source>
        <translation>F.失敗</translation>
    </message>
    <message>
        <source>chi(k) read with %1 paths</source>
        <translation>chi(k) を読み込みました (パス %1 本)</translation>
    </message>
    <message>
        <source>Job %1 finished: %2</source>
        <translation>ジョブ %1 が完了しました: %2</translation>
    </message>
    <message>
        <source>Job %1 failed: %2</source>
        <translation>ジョブ %1 が失敗しました: %2</translation>
    </message>
    <message>
        <source>%1 crashed</source>
        <translation>%1 が異常終了しました</translation>
    </message>
    <message>
        <source>%1 ended with exit code %2</source>
        <translation>%1 が終了コード %2 で終了しました</translation>
    </message>
    <message>
        <source>Atoms could not start: %1</source>
        <translation>Atoms を起動できませんでした: %1</translation>
    </message>
    <message>
        <source>FEFF could not start: %1</source>
        <translation>FEFF を起動できませんでした: %1</translation>
    </message>
    <message>
        <source>Atoms stopped at the time limit of %1 s</source>
        <translation>Atoms は制限時間 %1 秒で停止しました</translation>
    </message>
    <message>
        <source>FEFF stopped at the time limit of %1 s</source>
        <translation>FEFF は制限時間 %1 秒で停止しました</translation>
    </message>
    <message>
        <source>the input file no longer exists</source>
        <translation>入力ファイルがもうありません</translation>
    </message>
    <message>
        <source>Atoms cancelled by Slurm: %1</source>
        <translation>Atoms は Slurm により取り消されました: %1</translation>
    </message>
    <message>
        <source>FEFF cancelled by Slurm: %1</source>
        <translation>FEFF は Slurm により取り消されました: %1</translation>
    </message>
    <message>
        <source>FEFF left no chi.dat</source>
        <translation>FEFF は chi.dat を残しませんでした</translation>
    </message>
    <message>
        <source>chi.dat holds no chi(k) data</source>
        <translation>chi.dat に chi(k) のデータがありません</translation>
    </message>
    <message>
        <source>chi.dat holds no usable chi(k) data: %1</source>
        <translation>chi.dat に使える chi(k) のデータがありません: %1</translation>
    </message>
    <message>
        <source>Atoms and FEFF output of %1 (%2)</source>
        <translation>%1 の Atoms と FEFF の出力 (%2)</translation>
    </message>
    <message>
        <source>Atoms output of %1 (%2)</source>
        <translation>%1 の Atoms の出力 (%2)</translation>
    </message>
    <message>
        <source>FEFF output of %1 (%2)</source>
        <translation>%1 の FEFF の出力 (%2)</translation>
    </message>
</context>
<context>
    <name>SiteGroup</name>
    <message>
        <source>chi(k) read</source>
        <translation>chi(k) 読み込み済み</translation>
    </message>
    <message>
        <source>FEFF left no chi.dat</source>
        <translation>FEFF は chi.dat を残しませんでした</translation>
    </message>
    <message>
        <source>chi.dat holds no chi(k) data</source>
        <translation>chi.dat に chi(k) のデータがありません</translation>
    </message>
    <message>
        <source>Atoms could not start</source>
        <translation>Atoms を起動できませんでした</translation>
    </message>
    <message>
        <source>FEFF could not start</source>
        <translation>FEFF を起動できませんでした</translation>
    </message>
    <message>
        <source>stopped at the time limit</source>
        <translation>制限時間で停止しました</translation>
    </message>
    <message>
        <source>the input file no longer exists</source>
        <translation>入力ファイルがもうありません</translation>
    </message>
    <message>
        <source>cancelled by Slurm</source>
        <translation>Slurm により取り消されました</translation>
    </message>
    <message>
        <source>Atoms could not start to list the sites: %1</source>
        <translation>サイトを一覧するための Atoms を起動できませんでした: %1</translation>
    </message>
    <message>
        <source>Atoms did not list the sites within %1 s</source>
        <translation>Atoms は %1 秒以内にサイトを一覧しませんでした</translation>
    </message>
    <message>
        <source>Atoms could not list the sites: %1</source>
        <translation>Atoms はサイトを一覧できませんでした: %1</translation>
    </message>
    <message>
        <source>The site list of the Atoms program cannot be read: %1</source>
        <translation>Atoms プログラムのサイト一覧が読めません: %1</translation>
    </message>
    <message>
        <source>%1: one job per site, averaged with the weights %2</source>
        <translation>%1: サイトごとに 1 ジョブ、重み %2 で平均します</translation>
    </message>
    <message>
        <source>not a site line: %1</source>
        <translation>サイトの行ではありません: %1</translation>
    </message>
    <message>
        <source>no site listed</source>
        <translation>サイトが一覧されませんでした</translation>
    </message>
    <message>
        <source>The job of site %1 of %2 was deleted; no average.</source>
        <translation>%2 のサイト %1 のジョブが削除されたため、平均しません。</translation>
    </message>
    <message>
        <source>Site %1 of %2 failed; no average.</source>
        <translation>%2 のサイト %1 が失敗したため、平均しません。</translation>
    </message>
    <message>
        <source>The sites of %1 cannot be averaged: %2</source>
        <translation>%1 のサイトを平均できません: %2</translation>
    </message>
    <message>
        <source>%1: the sites' k grids differ; interpolated onto the grid of site %2</source>
        <translation>%1: サイトの k グリッドが異なるため、サイト %2 のグリッドに補間しました</translation>
    </message>
    <message>
        <source>Can not write %1: %2</source>
        <translation>%1 を書き込めません: %2</translation>
    </message>
    <message>
        <source>Atoms failed</source>
        <translation>Atoms が失敗しました</translation>
    </message>
    <message>
        <source>FEFF failed</source>
        <translation>FEFF が失敗しました</translation>
    </message>
    <message>
        <source>a file could not be written</source>
        <translation>ファイルを書き込めませんでした</translation>
    </message>
    <message>
        <source>Atoms was stopped while it listed the sites</source>
        <translation>サイトの一覧中に Atoms が停止されました</translation>
    </message>
</context>
<context>
    <name>SiteGroupPanel</name>
    <message>
        <source>Site average</source>
        <translation>サイト平均</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>表示</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Sites:</source>
        <translation>サイト:</translation>
    </message>
    <message>
        <source>Listing sites</source>
        <translation>サイト一覧中</translation>
    </message>
    <message>
        <source>Averaged: chiavg.dat, chiR.dat</source>
        <translation>平均済み: chiavg.dat, chiR.dat</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>失敗</translation>
    </message>
    <message numerus="yes">
        <source>%n site job(s) running</source>
        <translation>
            <numerusform>%n 個のサイトのジョブが実行中</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Gui</name>
    <message>
        <source>Jobs</source>
        <translation>ジョブ</translation>
    </message>
    <message>
        <source>Show all</source>
        <translation>すべて表示</translation>
    </message>
    <message>
        <source>Check Show on every job</source>
        <translation>すべてのジョブの Show をチェックします</translation>
    </message>
    <message>
        <source>Show none</source>
        <translation>すべて非表示</translation>
    </message>
    <message>
        <source>Clear Show on every job</source>
        <translation>すべてのジョブの Show を外します</translation>
    </message>
    <message>
        <source>Failed only</source>
        <translation>失敗のみ</translation>
    </message>
    <message>
        <source>Mark every failed job and scroll to the first</source>
        <translation>失敗したジョブに印を付け、最初のものまでスクロールします</translation>
    </message>
    <message>
        <source>No job has failed</source>
        <translation>失敗したジョブはありません</translation>
    </message>
    <message>
        <source>Queued %1 · Running %2 · Finished %3 · Failed %4</source>
        <translation>待機 %1 · 実行中 %2 · 完了 %3 · 失敗 %4</translation>
    </message>
    <message>
        <source>%1 % – %2</source>
        <translation>%1 % – %2</translation>
    </message>
    <message>
        <source>The jobs held against the first measured chi(k) curve</source>
        <translation>最初の測定 chi(k) 曲線と比べたジョブ</translation>
    </message>
    <message>
        <source>Ranking</source>
        <translation>ランキング</translation>
    </message>
    <message>
        <source>MainWindow</source>
        <translation>Scatterdeck</translation>
    </message>
    <message>
        <source>Log:</source>
        <translation>Log:</translation>
    </message>
    <message>
        <source>Drop Files</source>
        <translation>ファイルドロップエリア</translation>
    </message>
    <message>
        <source>CIF FIles</source>
        <translation>CIFファイル</translation>
    </message>
    <message>
        <source>FeFF Inp Files</source>
        <translation>FeFF入力ファイル</translation>
    </message>
    <message>
        <source>Drop CIF files here.</source>
        <translation>CIFファイル(複数可)をここにドロップして下さい。</translation>
    </message>
    <message>
        <source>Drop FeFF Inp files here.</source>
        <translation>FeFF入力ファイル(複数可)をここにドロップして下さい。</translation>
    </message>
    <message>
        <source>Proc List</source>
        <translation>Atoms/FeFF プロセスリスト</translation>
    </message>
    <message>
        <source>Chi R</source>
        <translation>χ(R)表示</translation>
    </message>
    <message>
        <source>Chi k</source>
        <translation>χ(k)表示</translation>
    </message>
    <message>
        <source>Del. All</source>
        <translation>全削除</translation>
    </message>
    <message>
        <source>Delete all jobs</source>
        <translation>すべてのジョブの削除</translation>
    </message>
    <message>
        <source>Jobs running now: %1. Stop them and delete all %2 jobs?</source>
        <translation>実行中のジョブ: %1 件。停止して %2 件すべてのジョブを削除しますか?</translation>
    </message>
    <message>
        <source> · Site groups %1 (averaged %2, failed %3)</source>
        <translation> · サイトグループ %1 (平均済み %2、失敗 %3)</translation>
    </message>
</context>
<context>
    <name>FeffPaths</name>
    <message>
        <source>Can not read the path lists %1 in %2: the paths are shown without identities</source>
        <translation>%2 のパス一覧 %1 を読めません: パスは識別情報なしで表示されます</translation>
    </message>
</context>
<context>
    <name>FeffPath</name>
    <message>
        <source>Can not read the path file %1: %2</source>
        <translation>パスファイル %1 を読めません: %2</translation>
    </message>
    <message>
        <source>larger than any FEFF path file</source>
        <translation>FEFF のパスファイルとしては大きすぎます</translation>
    </message>
    <message>
        <source>bad path line &quot;%1&quot;</source>
        <translation>パスの行が不正です「%1」</translation>
    </message>
    <message>
        <source>no column line &quot;k real[2*phc] ... real[p]&quot;</source>
        <translation>列見出しの行「k real[2*phc] ... real[p]」がありません</translation>
    </message>
    <message>
        <source>no path geometry (nleg, deg, reff): not a FEFF path file</source>
        <translation>パスの幾何情報 (nleg, deg, reff) がありません: FEFF のパスファイルではありません</translation>
    </message>
    <message>
        <source>k does not increase at line %1</source>
        <translation>%1 行目で k が増加していません</translation>
    </message>
    <message numerus="yes">
        <source>%n data line(s) of seven columns, at least 4 needed</source>
        <translation>
            <numerusform>7 列のデータ行が %n 行しかありません (4 行以上必要)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PathTip</name>
    <message>
        <source>path %1</source>
        <translation>パス %1</translation>
    </message>
    <message>
        <source>reff %1 Å</source>
        <translation>有効距離 %1 Å</translation>
    </message>
    <message>
        <source>N %1</source>
        <translation>縮重度 %1</translation>
    </message>
    <message>
        <source>%1 legs</source>
        <translation>%1 レグ</translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation>振幅比 %1 %</translation>
    </message>
</context>
<context>
    <name>MeasuredChi</name>
    <message>
        <source>::Can not use measured chi(k) file %1 : it holds no points of k and chi(k)</source>
        <translation>::測定 chi(k) ファイル %1 は使えません : k と chi(k) の点がありません</translation>
    </message>
    <message>
        <source>::Can not use measured chi(k) file %1 : its first column runs to %2, energies of mu(E), not k in 1/A</source>
        <translation>::測定 chi(k) ファイル %1 は使えません : 1 列目が %2 まであり、1/Å 単位の k ではなく mu(E) のエネルギーです</translation>
    </message>
    <message>
        <source>::Can not read measured chi(k) file : %1 : %2</source>
        <translation>::測定 chi(k) ファイル %1 を読めません : %2</translation>
    </message>
    <message>
        <source>k does not increase at its point %1 (k = %2)</source>
        <translation>%1 番目の点で k が増加していません (k = %2)</translation>
    </message>
    <message>
        <source>chi(k) = %1 at k = %2 is no measured value</source>
        <translation>k = %2 での chi(k) = %1 は測定値ではありません</translation>
    </message>
    <message>
        <source>chi(k) is zero everywhere</source>
        <translation>chi(k) がすべて 0 です</translation>
    </message>
    <message>
        <source>%1 points lie in the k range from %2 to %3, fewer than %4</source>
        <translation>k の範囲 %2 から %3 にある点は %1 個で、%4 個未満です</translation>
    </message>
    <message>
        <source>::Can not use measured chi(k) file %1 : %2</source>
        <translation>::測定 chi(k) ファイル %1 は使えません : %2</translation>
    </message>
</context>
<context>
    <name>MeasuredCurves</name>
    <message>
        <source>%1
%2 points, k from %3 to %4 1/A</source>
        <translation>%1
%2 点、k は %3 から %4 1/A</translation>
    </message>
    <message>
        <source>Measured chi(k) %1 loaded: %2 points, k %3 to %4</source>
        <translation>測定 chi(k) %1 を読み込みました: %2 点、k %3 から %4</translation>
    </message>
</context>
<context>
    <name>DataDrop</name>
    <message>
        <source>Not a local file, not read as measured chi(k): %1</source>
        <translation>ローカルファイルではないため、測定 chi(k) として読みません: %1</translation>
    </message>
</context>
<context>
    <name>RankingWindow</name>
    <message>
        <source>Ranking</source>
        <translation>ランキング</translation>
    </message>
    <message>
        <source>Measured curves (the first is the one the jobs are held against)</source>
        <translation>測定曲線 (最初の曲線とジョブを比べます)</translation>
    </message>
    <message>
        <source>Unchecked curves are not drawn.</source>
        <translation>チェックのない曲線は描きません。</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Held against: %1</source>
        <translation>比較対象: %1</translation>
    </message>
    <message>
        <source>No measured curve: drop a measured chi(k) file onto a plot window, or name one with -data FILE.</source>
        <translation>測定曲線がありません: 測定 chi(k) ファイルをプロット画面にドロップするか、-data FILE で指定してください。</translation>
    </message>
    <message>
        <source>Path fit: k %1 to %2 Å⁻¹ (window sill %3 Å⁻¹), k weight %4, R %5 to %6 Å; the %7 strongest paths up to %8 Å</source>
        <translation>パスフィット: k %1 から %2 Å⁻¹ (窓の縁幅 %3 Å⁻¹)、k の重み %4、R %5 から %6 Å、%8 Å までの強い順に %7 本のパス</translation>
    </message>
    <message>
        <source>Scale-only figures: k %1 to %2 Å⁻¹, k weight %3; in R %4 to %5 Å</source>
        <translation>スケールのみの指標: k %1 から %2 Å⁻¹、k の重み %3、R では %4 から %5 Å</translation>
    </message>
    <message numerus="yes">
        <source>Fitting: %n job(s) to go</source>
        <translation>
            <numerusform>フィット中: 残り %n ジョブ</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RankingModel</name>
    <message>
        <source>Job</source>
        <translation>ジョブ</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>入力</translation>
    </message>
    <message>
        <source>Fitting against %1…</source>
        <translation>%1 に対してフィット中…</translation>
    </message>
    <message>
        <source>Scale-only R-factor in k %1 (scale %2) against %3</source>
        <translation>k でのスケールのみの R 因子 %1 (スケール %2)、比較対象 %3</translation>
    </message>
    <message>
        <source>fitting…</source>
        <translation>フィット中…</translation>
    </message>
    <message>
        <source>%1 (negative)</source>
        <translation>%1 (負)</translation>
    </message>
    <message>
        <source>A negative scale: the job&apos;s curve matches the measured one only turned upside down, so its scale-only R-factor says little.</source>
        <translation>負のスケール: ジョブの曲線は上下を反転したときだけ測定曲線に合うので、スケールのみの R 因子はほとんど意味を持ちません。</translation>
    </message>
    <message>
        <source>The job&apos;s folder; check to show the job in the plots</source>
        <translation>ジョブのフォルダ。チェックするとジョブをプロットに表示します</translation>
    </message>
    <message>
        <source>The CIF or FEFF input file</source>
        <translation>CIF または FEFF 入力ファイル</translation>
    </message>
    <message>
        <source>R-factor of the path fit: the misfit over the data in the fit&apos;s R range, 0 is perfect</source>
        <translation>パスフィットの R 因子: フィットの R 範囲でのデータに対する不一致。0 が完全一致</translation>
    </message>
    <message>
        <source>Fit R-factor</source>
        <translation>フィット R 因子</translation>
    </message>
    <message>
        <source>Reduced chi-square of the path fit</source>
        <translation>パスフィットの換算カイ二乗</translation>
    </message>
    <message>
        <source>χ²ν</source>
        <translation>χ²ν</translation>
    </message>
    <message>
        <source>Amplitude reduction factor S0² with its uncertainty</source>
        <translation>振幅減衰因子 S0² とその不確かさ</translation>
    </message>
    <message>
        <source>S0²</source>
        <translation>S0²</translation>
    </message>
    <message>
        <source>Energy shift ΔE0 in eV with its uncertainty</source>
        <translation>エネルギーのずれ ΔE0 (eV) とその不確かさ</translation>
    </message>
    <message>
        <source>ΔE0 (eV)</source>
        <translation>ΔE0 (eV)</translation>
    </message>
    <message>
        <source>First-shell distance reff + ΔR in Å with its uncertainty</source>
        <translation>第一配位圏の距離 reff + ΔR (Å) とその不確かさ</translation>
    </message>
    <message>
        <source>R1 (Å)</source>
        <translation>R1 (Å)</translation>
    </message>
    <message>
        <source>Debye-Waller factor σ² of the first shell in Å²</source>
        <translation>第一配位圏のデバイ・ワラー因子 σ² (Å²)</translation>
    </message>
    <message>
        <source>σ²1 (Å²)</source>
        <translation>σ²1 (Å²)</translation>
    </message>
    <message>
        <source>Debye-Waller factor σ² of every other path in Å²</source>
        <translation>その他すべてのパスのデバイ・ワラー因子 σ² (Å²)</translation>
    </message>
    <message>
        <source>σ²2 (Å²)</source>
        <translation>σ²2 (Å²)</translation>
    </message>
    <message>
        <source>What to look at before trusting the fit: parameters at a bound, an unphysical S0², too few independent points, no convergence</source>
        <translation>フィットを信頼する前に確かめること: 境界に達したパラメータ、物理的でない S0²、独立点の不足、収束しなかったこと</translation>
    </message>
    <message>
        <source>Flags</source>
        <translation>フラグ</translation>
    </message>
    <message>
        <source>Misfit in k of the job&apos;s chi(k) scaled by one number, nothing else fitted</source>
        <translation>ジョブの chi(k) を 1 つの数で拡大縮小しただけの k での不一致 (他は何もフィットしません)</translation>
    </message>
    <message>
        <source>Scale-only R-factor (k)</source>
        <translation>スケールのみの R 因子 (k)</translation>
    </message>
    <message>
        <source>The one number the job&apos;s chi(k) is scaled by in k; not S0²</source>
        <translation>k でジョブの chi(k) に掛ける 1 つの数。S0² ではありません</translation>
    </message>
    <message>
        <source>Scale (k)</source>
        <translation>スケール (k)</translation>
    </message>
    <message>
        <source>Misfit in the fit&apos;s R range of the job&apos;s chi(R) scaled by one number, nothing else fitted</source>
        <translation>ジョブの chi(R) を 1 つの数で拡大縮小しただけのフィット R 範囲での不一致 (他は何もフィットしません)</translation>
    </message>
    <message>
        <source>Scale-only R-factor (R)</source>
        <translation>スケールのみの R 因子 (R)</translation>
    </message>
    <message>
        <source>The one number the job&apos;s chi(R) is scaled by; not S0²</source>
        <translation>ジョブの chi(R) に掛ける 1 つの数。S0² ではありません</translation>
    </message>
    <message>
        <source>Scale (R)</source>
        <translation>スケール (R)</translation>
    </message>
</context>
<context>
    <name>BatchPaths</name>
    <message>
        <source>-paths needs the name of the file to write the paths into</source>
        <translation>-paths にはパスを書き込むファイルの名前が必要です</translation>
    </message>
    <message>
        <source>Can not write the paths into %1: it is a folder</source>
        <translation>%1 にパスを書き込めません: フォルダです</translation>
    </message>
    <message>
        <source>Can not write the paths into %1: %2</source>
        <translation>%1 にパスを書き込めません: %2</translation>
    </message>
</context>
<context>
    <name>ShownCurves</name>
    <message>
        <source>path %1</source>
        <translation>パス %1</translation>
    </message>
    <message>
        <source>fit</source>
        <translation>フィット</translation>
    </message>
</context>
<context>
    <name>PlotLegend</name>
    <message>
        <source>… and %1 more</source>
        <translation>… ほか %1 本</translation>
    </message>
</context>
<context>
    <name>PlotExport</name>
    <message>
        <source>PNG image (*.png)</source>
        <translation>PNG 画像 (*.png)</translation>
    </message>
    <message>
        <source>SVG drawing (*.svg)</source>
        <translation>SVG 図 (*.svg)</translation>
    </message>
    <message>
        <source>Curves as tab-separated data (*.tsv)</source>
        <translation>曲線のタブ区切りデータ (*.tsv)</translation>
    </message>
    <message>
        <source>Save the plot</source>
        <translation>プロットの保存</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>フォルダです</translation>
    </message>
    <message>
        <source>name the file .png, .svg or .tsv</source>
        <translation>ファイル名の拡張子を .png、.svg または .tsv にしてください</translation>
    </message>
    <message>
        <source>the image could not be encoded</source>
        <translation>画像を符号化できませんでした</translation>
    </message>
</context>
<context>
    <name>AnalysisKeys</name>
    <message>
        <source>FT_MODE %1 is neither plain nor standard: plain is used</source>
        <translation>FT_MODE %1 は plain でも standard でもありません: plain を使います</translation>
    </message>
    <message>
        <source>FT_DK %1 is not a window sill from 0 to 10: %2 is used</source>
        <translation>FT_DK %1 は 0 から 10 までの窓の縁幅ではありません: %2 を使います</translation>
    </message>
    <message>
        <source>FIT_RMIN %1 and FIT_RMAX %2 are no range from 0 to 30: %3 to %4 is used</source>
        <translation>FIT_RMIN %1 と FIT_RMAX %2 は 0 から 30 までの範囲ではありません: %3 から %4 を使います</translation>
    </message>
    <message>
        <source>%1 %2 is not a k weight 0, 1, 2 or 3: %3 is used</source>
        <translation>%1 %2 は k の重み 0, 1, 2, 3 のいずれでもありません: %3 を使います</translation>
    </message>
    <message>
        <source>%1 %2 is not a number: %3 is used</source>
        <translation>%1 %2 は数値ではありません: %3 を使います</translation>
    </message>
    <message>
        <source>%1 %2 is beyond ±%3: %4 is used</source>
        <translation>%1 %2 は ±%3 の範囲を超えています: %4 を使います</translation>
    </message>
    <message>
        <source>FIT_PATH_RMAX %1 is not a distance above 0: %2 is used</source>
        <translation>FIT_PATH_RMAX %1 は 0 より大きい距離ではありません: %2 を使います</translation>
    </message>
    <message>
        <source>FIT_PATHS %1 is not a number of paths from 1 up: %2 is used</source>
        <translation>FIT_PATHS %1 は 1 以上のパス数ではありません: %2 を使います</translation>
    </message>
    <message>
        <source>R_DELTA %1 is not a step above 0 and at most 1: %2 is used</source>
        <translation>R_DELTA %1 は 0 より大きく 1 以下の刻みではありません: %2 を使います</translation>
    </message>
    <message>
        <source>%1 %2 is outside 0 to 30: %3 is used</source>
        <translation>%1 %2 は 0 から 30 の範囲外です: %3 を使います</translation>
    </message>
    <message>
        <source>%1 %2 is not below %3 %4: %5 to %6 is used</source>
        <translation>%1 %2 は %3 %4 より小さくありません: %5 から %6 を使います</translation>
    </message>
</context>
<context>
    <name>BatchFit</name>
    <message>
        <source>-fit needs the name of the file to write the fit table into</source>
        <translation>-fit にはフィット表を書き込むファイルの名前が必要です</translation>
    </message>
    <message>
        <source>-fit %1 needs a measured curve to fit: give -data FILE</source>
        <translation>-fit %1 にはフィットする測定曲線が必要です: -data FILE を指定してください</translation>
    </message>
    <message>
        <source>Can not write the fit table into %1: it is a folder</source>
        <translation>フィット表を %1 に書き込めません: フォルダです</translation>
    </message>
    <message>
        <source>Can not write the fit table into %1: %2</source>
        <translation>フィット表を %1 に書き込めません: %2</translation>
    </message>
</context>
<context>
    <name>ExafsFit</name>
    <message>
        <source>the fit range FIT_RMIN %1 to FIT_RMAX %2 A holds too few points</source>
        <translation>フィット範囲 FIT_RMIN %1 から FIT_RMAX %2 Å の点が少なすぎます</translation>
    </message>
    <message>
        <source>the noise of the measured curve cannot be estimated (no signal between 15 and 30 A)</source>
        <translation>測定曲線のノイズを見積もれません (15 から 30 Å の間に信号がありません)</translation>
    </message>
    <message>
        <source>the model could not be evaluated (no finite residual)</source>
        <translation>モデルを計算できませんでした (有限の残差がありません)</translation>
    </message>
    <message>
        <source>%1 holds no chi(k) points</source>
        <translation>%1 には chi(k) の点がありません</translation>
    </message>
    <message>
        <source>%1 looks like mu(E), not chi(k): its first column runs to %2, far past any k in 1/A</source>
        <translation>%1 は chi(k) ではなく mu(E) のようです: 1 列目が %2 まであり、1/Å 単位の k の範囲を大きく超えています</translation>
    </message>
    <message>
        <source>%1 has no point between K_MIN %2 and K_MAX %3 1/A, so it cannot be fitted</source>
        <translation>%1 には K_MIN %2 から K_MAX %3 1/Å の間に点がないため、フィットできません</translation>
    </message>
</context>
<context>
    <name>FitReport</name>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 を書き込めませんでした: %2</translation>
    </message>
</context>
<context>
    <name>PathModel</name>
    <message>
        <source>no folder with a positive weight to fit</source>
        <translation>フィットする正の重みのフォルダがありません</translation>
    </message>
    <message>
        <source>no FEFF path files (files.dat and feffNNNN.dat with reff up to %1 A) in %2</source>
        <translation>%2 に FEFF のパスファイル (files.dat と reff が %1 Å 以下の feffNNNN.dat) がありません</translation>
    </message>
</context>
<context>
    <name>FitSummary</name>
    <message>
        <source>no fit: %1</source>
        <translation>フィットなし: %1</translation>
    </message>
    <message>
        <source>No fit against %1: %2</source>
        <translation>%1 に対するフィットなし: %2</translation>
    </message>
    <message>
        <source>Fit against %1: R-factor %2, reduced chi-square %3</source>
        <translation>%1 に対するフィット: R 因子 %2、換算カイ二乗 %3</translation>
    </message>
    <message>
        <source>S0² %1, ΔE0 %2 eV, R1 %3 Å</source>
        <translation>S0² %1、ΔE0 %2 eV、R1 %3 Å</translation>
    </message>
    <message>
        <source>σ²1 %1 Å², σ²2 %2 Å²</source>
        <translation>σ²1 %1 Å²、σ²2 %2 Å²</translation>
    </message>
    <message>
        <source>Flags: %1</source>
        <translation>フラグ: %1</translation>
    </message>
</context>
<context>
    <name>AthenaProject</name>
    <message>
        <source>Can not read measured data file %1</source>
        <translation>測定データファイル %1 を読めません</translation>
    </message>
    <message>
        <source>Can not use measured data file %1 : it unpacks to more than %2 MB</source>
        <translation>測定データファイル %1 は使えません: 展開すると %2 MB を超えます</translation>
    </message>
    <message>
        <source>Can not use measured data file %1 : its compressed data is damaged or cut short (%2)</source>
        <translation>測定データファイル %1 は使えません: 圧縮データが壊れているか途中で切れています (%2)</translation>
    </message>
    <message>
        <source>Can not use project file %1 : it holds no group</source>
        <translation>プロジェクトファイル %1 は使えません: グループがありません</translation>
    </message>
    <message>
        <source>Can not use project file %1 : it ends inside group &quot;%2&quot;</source>
        <translation>プロジェクトファイル %1 は使えません: グループ「%2」の途中で終わっています</translation>
    </message>
    <message>
        <source>Can not use project file %1 : group &quot;%2&quot; holds no usable data</source>
        <translation>プロジェクトファイル %1 は使えません: グループ「%2」に使えるデータがありません</translation>
    </message>
    <message>
        <source>Can not use project file %1 : the points of group &quot;%2&quot; do not rise at %3</source>
        <translation>プロジェクトファイル %1 は使えません: グループ「%2」の点が %3 で増加していません</translation>
    </message>
</context>
<context>
    <name>Autobk</name>
    <message>
        <source>too few points above the edge at %1 eV</source>
        <translation>%1 eV の吸収端より上の点が少なすぎます</translation>
    </message>
    <message>
        <source>R_bkg %1 is too small for the k range up to %2</source>
        <translation>R_bkg %1 は %2 までの k 範囲に対して小さすぎます</translation>
    </message>
    <message>
        <source>too few points above the edge for %1 spline knots</source>
        <translation>吸収端より上の点が %1 個のスプライン節点には少なすぎます</translation>
    </message>
    <message>
        <source>the spline knots at the edge at %1 eV do not fit the data</source>
        <translation>%1 eV の吸収端でスプライン節点がデータに合いません</translation>
    </message>
    <message>
        <source>the background fit did not start</source>
        <translation>バックグラウンドのフィットを開始できませんでした</translation>
    </message>
</context>
<context>
    <name>BackgroundKeys</name>
    <message>
        <source>BKG_RBKG %1 is not a distance above 0 and up to %2 A: %3 is used</source>
        <translation>BKG_RBKG %1 は 0 より大きく %2 A 以下の距離ではありません: %3 を使います</translation>
    </message>
    <message>
        <source>BKG_KWEIGHT %1 is not a k weight from 0 to 3: %2 is used</source>
        <translation>BKG_KWEIGHT %1 は 0 から 3 までの k の重みではありません: %2 を使います</translation>
    </message>
    <message>
        <source>BKG_E0 %1 is not an energy in eV: the edge of each spectrum is found</source>
        <translation>BKG_E0 %1 は eV 単位のエネルギーではありません: 各スペクトルの吸収端を求めます</translation>
    </message>
</context>
<context>
    <name>ColumnFile</name>
    <message>
        <source>Can not read measured data file %1 : %2</source>
        <translation>測定データファイル %1 を読めません: %2</translation>
    </message>
    <message>
        <source>Can not use measured data file %1 : it is larger than %2 MB</source>
        <translation>測定データファイル %1 は使えません: %2 MB より大きいです</translation>
    </message>
    <message>
        <source>Can not use measured data file %1 : mu is not finite at %2 eV</source>
        <translation>測定データファイル %1 は使えません: %2 eV で mu が有限ではありません</translation>
    </message>
    <message>
        <source>Can not use measured data file %1 : the energies fall at %2 eV</source>
        <translation>測定データファイル %1 は使えません: %2 eV でエネルギーが減少しています</translation>
    </message>
    <message>
        <source>Can not use measured data file %1 : it holds %2 points of mu(E), at least %3 are needed</source>
        <translation>測定データファイル %1 は使えません: mu(E) の点が %2 個しかありません (%3 個以上必要です)</translation>
    </message>
    <message>
        <source>Can not use measured data file %1 : its energies start at %2, not above %3 eV</source>
        <translation>測定データファイル %1 は使えません: エネルギーが %2 から始まり、%3 eV を超えていません</translation>
    </message>
</context>
<context>
    <name>MeasuredData</name>
    <message>
        <source>Can not use measured data file %1 : %2</source>
        <translation>測定データファイル %1 は使えません: %2</translation>
    </message>
    <message>
        <source>Can not use measured data file %1, group &quot;%2&quot; : %3</source>
        <translation>測定データファイル %1 のグループ「%2」は使えません: %3</translation>
    </message>
    <message>
        <source>%1, group &quot;%2&quot; : chi(k) as stored</source>
        <translation>%1 のグループ「%2」: 保存されている chi(k) をそのまま使います</translation>
    </message>
    <message>
        <source>can not make the folder %1</source>
        <translation>フォルダ %1 を作れません</translation>
    </message>
    <message>
        <source>%1 : e0 %2 eV, edge step %3, %4 knots</source>
        <translation>%1 : e0 %2 eV、吸収端の段差 %3、節点 %4 個</translation>
    </message>
    <message>
        <source>%1; chi(k) written to %2</source>
        <translation>%1; chi(k) を %2 に書き込みました</translation>
    </message>
    <message>
        <source>%1; Can not write %2 : %3</source>
        <translation>%1; %2 を書き込めません: %3</translation>
    </message>
</context>
<context>
    <name>PreEdge</name>
    <message>
        <source>too few points</source>
        <translation>点が少なすぎます</translation>
    </message>
    <message>
        <source>no absorption edge found</source>
        <translation>吸収端が見つかりません</translation>
    </message>
    <message>
        <source>too few points below or above the edge at %1 eV</source>
        <translation>%1 eV の吸収端の下または上の点が少なすぎます</translation>
    </message>
    <message>
        <source>no absorption edge found (the step at %1 eV is %2)</source>
        <translation>吸収端が見つかりません (%1 eV での段差は %2)</translation>
    </message>
</context>
<context>
    <name>XdiFile</name>
    <message>
        <source>Can not use XDI file %1 : it names no mu(E) columns (mutrans, mufluor, or i0 with itrans or ifluor)</source>
        <translation>XDI ファイル %1 は使えません: mu(E) の列 (mutrans、mufluor、または i0 と itrans か ifluor) がありません</translation>
    </message>
</context>
<context>
    <name>ResultsFolder</name>
    <message>
        <source>The results folder %1 can not be written: %2</source>
        <translation>結果フォルダ %1 に書き込めません: %2</translation>
    </message>
    <message>
        <source>The results folder %1 is in use by another run: %2, process %3 on %4</source>
        <translation>結果フォルダ %1 は別の実行が使用中です: %2、%4 のプロセス %3</translation>
    </message>
    <message>
        <source>The results folder %1 is in use by another run</source>
        <translation>結果フォルダ %1 は別の実行が使用中です</translation>
    </message>
    <message>
        <source>The results folder %1 can not be locked for this run</source>
        <translation>結果フォルダ %1 をこの実行のためにロックできません</translation>
    </message>
</context>
<context>
    <name>LineReader</name>
    <message>
        <source>it does not exist or can not be reached</source>
        <translation>存在しないか、たどり着けません</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>フォルダです</translation>
    </message>
    <message>
        <source>it is no regular file (a pipe or a device)</source>
        <translation>通常のファイルではありません (パイプまたはデバイス)</translation>
    </message>
    <message>
        <source>it is larger than %1 MB</source>
        <translation>%1 MB より大きいです</translation>
    </message>
</context>
<context>
    <name>FolderNames</name>
    <message>
        <source>%1 runs in the folder %2: %3 is another job's</source>
        <translation>%1 はフォルダ %2 で実行します: %3 は別のジョブが使っています</translation>
    </message>
</context>
<context>
    <name>AxisTitles</name>
    <message>
        <source>plain sums over k %1: no k weight, no window</source>
        <translation>k %1 の単純和: k の重みなし、窓なし</translation>
    </message>
    <message>
        <source>Hanning window dk %1 %2</source>
        <translation>Hanning 窓 dk %1 %2</translation>
    </message>
    <message>
        <source>box window</source>
        <translation>矩形窓</translation>
    </message>
    <message>
        <source>standard transform, k weight %1, %2, k %3</source>
        <translation>標準変換、k の重み %1、%2、k %3</translation>
    </message>
</context>
</TS>
