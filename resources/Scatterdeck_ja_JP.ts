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
</context>
<context>
    <name>ChiView</name>
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
</context>
<context>
    <name>ChiViewCtrl</name>
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
        <source>Can not open feff.inp for %1</source>
        <translation>%1 の feff.inp ファイルが開けません</translation>
    </message>
    <message>
        <source>%1 reached the time limit of %2 s and was stopped: %3</source>
        <translation>%1 が制限時間 %2 秒に達したため停止しました: %3</translation>
    </message>
</context>
<context>
    <name>Gui</name>
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
</context>
</TS>
